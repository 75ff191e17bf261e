-- getn, tinsert and tremove follow the n field.
print(getn({1, 2, nil, 4}), getn({1, 2, 3; n = 2}), getn({[2.5] = 1, [5] = 1}), getn({}))
local t = {}
tinsert(t, "a")
tinsert(t, "b")
tinsert(t, 1, "z")
print(t.n, t[1], t[2], t[3])
print(tremove(t), t.n, tremove(t, 1), t.n, t[1])
local e = {}
print(tremove(e), e.n)
local h = {n = 5}
tinsert(h, "x")
print(h.n, h[6])

-- foreach / foreachi stop at the first non-nil result
print(foreachi({"a", "b", "c"}, function(i, v) if v == "b" then return i end end))
print(foreach({x = 1}, function(k, v) return k .. v end))
print(foreachi({1, 2, 3; n = 2}, function(i, v) write(i, ",") end))

-- sort by getn, with and without a comparison
local s = {5, 2, 8, 1; n = 3}
sort(s)
print(s[1], s[2], s[3], s[4])
local r = {"b", "c", "a"}
sort(r, function(a, b) return a > b end)
print(r[1], r[2], r[3])

-- results: dostring, call, rawset, tostring of the success value
print(dostring("return 1, 'two', nil"))
print(type(dostring("x = 1")), tostring(dostring("y = 2")))
print(call(function(a, b, c) return a + b, c end, {1, 2; n = 3}))
print(call(function(...) return arg.n end, {1, nil, 3; n = 3}))
local rs = {}
print(rawset(rs, "k", 1) == rs, rawget(rs, "k"))
print(type(nil), type(1), type("s"), type({}), type(print), type(dostring("return")))
print(tostring(nil), tostring("s"), tostring(12.5))
print(_VERSION, tag(nil), tag(1), tag("s"), tag({}), tag(print), tag(tag))
print(next({}), getglobal("undefined_global"))
setglobal("sg", 42)
print(sg, getglobal("sg"))
local saved = globals({print = print, tostring = tostring, globals = globals, marker = "sandbox"})
print(marker, sg)
local sandbox = globals(saved)
print(marker, sg, sandbox.marker)
assert(1, "not shown")
print(assert(1))
exit(0)
