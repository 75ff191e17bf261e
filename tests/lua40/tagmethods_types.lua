-- Tag methods of the built-in tags: the default table tag covers every
-- untagged table; numbers, strings and functions take the events 4.0 allows.
local report = function(m) print("caught: " .. m) end
local before = {present = 1}
settagmethod(tag({}), "index", function(t, k) return "default " .. k end)
local after = {}
print(before.present, before.absent, after.x, after[3], globals().unset_global)
local user = settag({}, newtag())
print(user.x)
print(unset_global)
settagmethod(tag({}), "index", nil)
print(after.x)

-- arithmetic, concat, order and call on plain tables
local T = tag({})
settagmethod(T, "add", function(a, b, e) return e .. " " .. type(a) .. " " .. type(b) end)
settagmethod(T, "concat", function(a, b, e) return e .. " " .. type(a) .. " " .. type(b) end)
settagmethod(T, "lt", function(a, b, e) return a.v < b.v end)
settagmethod(T, "function", function(self, x, y) return "called " .. x .. " " .. y end)
local a, b = {v = 1}, {v = 2}
print(a + 1, 2 + a, a .. "s", "s" .. a, a < b, b < a, a <= b, b >= a)
print(a(3, 4))
-- subtracting an integer constant is adding its negative in 4.0
settagmethod(T, "sub", function(a, b, e) return e .. " " .. type(a) .. " " .. type(b) end)
settagmethod(T, "add", function(a, b, e) return e .. " " .. tostring(b) end)
print(a - 1, a - (2), a - -3, a - 1.5, a - "1", a - b)
foreach({"add", "sub", "concat", "lt", "function"}, function(i, e) settagmethod(%T, e, nil) end)
print(call(function() return %a + 1 end, {}, "x", report))

-- numbers: gettable, settable and function
local N = tag(0)
settagmethod(N, "gettable", function(n, k) return n .. "." .. k end)
settagmethod(N, "settable", function(n, k, v) print("number set", n, k, v) end)
settagmethod(N, "function", function(n, x) return n * x end)
local n = 6
print(n.half, n[2])
n.field = "value"
print(n(7))
settagmethod(N, "gettable", nil)
settagmethod(N, "settable", nil)
settagmethod(N, "function", nil)

-- strings: methods given by a gettable method
local S = tag("")
settagmethod(S, "gettable", function(s, k) return getglobal("str" .. k) end)
local s = "MiXed"
print(s.len(s), s:lower(), s:upper(), s:sub(2, 3))
settagmethod(S, "gettable", nil)

-- functions: every event but index, getglobal and function
local F = tag(print)
settagmethod(F, "add", function(a, b) return "sum of a function" end)
settagmethod(F, "gettable", function(f, k) return "field " .. k .. " of a function" end)
settagmethod(F, "concat", function(a, b) return "joined" end)
print(print + 1, tag(settag) == F, print.name, print .. "x")
settagmethod(F, "add", nil)
settagmethod(F, "gettable", nil)
settagmethod(F, "concat", nil)

-- the userdata tag's methods are the last resort of every operator (compared
-- values of two types reach no lt method on this host, so both are tables)
settagmethod(0, "add", function(a, b, e) return "tag 0 " .. e end)
settagmethod(0, "concat", function(a, b, e) return "tag 0 " .. e end)
settagmethod(0, "lt", function(a, b, e) return "tag 0 " .. e end)
print({} + 1, nil + {}, print .. {}, {} < {}, {} > {}, {} + {})
print({} - 1, call(function() return {} * 1 end, {}, "x", report))
settagmethod(0, "add", nil)
settagmethod(0, "concat", nil)
settagmethod(0, "lt", nil)

-- what the built-in tags refuse
print(call(settagmethod, {tag({}), "gettable", print}, "x", report))
print(call(settagmethod, {tag(1), "add", print}, "x", report))
print(call(settagmethod, {tag(""), "pow", print}, "x", report))
print(call(settagmethod, {tag(print), "index", print}, "x", report))
print(call(settagmethod, {tag(print), "function", print}, "x", report))
exit(0)
