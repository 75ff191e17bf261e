-- Tag methods of the nil tag run where a nil is the operand, the indexed
-- value or the called value.
local report = function(m) print("caught: " .. m) end
local NIL = tag(nil)
local missing
settagmethod(NIL, "add", function(a, b, e) return e .. "(" .. tostring(a) .. "," .. tostring(b) .. ")" end)
settagmethod(NIL, "sub", function(a, b, e) return e end)
settagmethod(NIL, "mul", function(a, b, e) return e end)
settagmethod(NIL, "div", function(a, b, e) return e end)
settagmethod(NIL, "unm", function(a, b, e) return e .. " " .. tostring(b) end)
local one = 1
print(missing + 1, 2 + missing, missing + missing, 3 * missing, missing / 2, -missing)
-- 4.0 compiles subtracting a constant as adding its negative
print(missing - one, missing - 1, one - missing)
print(undefined_global + 5)
settagmethod(NIL, "gettable", function(t, k) return "field " .. k .. " of nil" end)
settagmethod(NIL, "settable", function(t, k, v) print("writing " .. k .. " of nil:", v) end)
print(missing.name, missing[1], undefined_global.x)
missing.name = "value"
local t = {}
print(t.absent.deeper)
settagmethod(NIL, "concat", function(a, b, e) return "joined" end)
print(missing .. "s", "s" .. missing, 1 .. missing .. 2)
-- (two nils; a nil and a number are compared by no lt method on this host)
settagmethod(NIL, "lt", function(a, b, e) return 1 end)
print(missing < missing, missing > nil, missing <= missing, missing >= nil)
settagmethod(NIL, "function", function(self, a, b) return "called nil with", a, b end)
print(missing(1, 2))
print(undefined_function("x"))
print(t.method(3))
-- index on nil never runs: only tables have it
settagmethod(NIL, "index", function() return "index" end)
print(t.absent)
foreach({"add", "sub", "mul", "div", "unm", "gettable", "settable", "concat", "lt",
  "function", "index"}, function(i, e) settagmethod(%NIL, e, nil) end)
print(call(function() return %missing + 1 end, {}, "x", report))
print(call(function() return %missing.x end, {}, "x", report))
print(call(function() return %missing() end, {}, "x", report))
exit(0)
