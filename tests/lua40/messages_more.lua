-- More of the same message kinds: compares of either order on one line,
-- concat operands in parentheses or indexed by a constant string,
-- negative zero from folded and unfolded constants, a - k forms,
-- and constructors with computed keys.
local report = function(m) print("caught: " .. m) end
local x, n, s = nil, 1, "a"
call(function() return %x > 1 and %n < %s end, {}, "x", report)
call(function() return %n < 2 and %s > %x end, {}, "x", report)
call(function() return %s <= %n or %x >= %n end, {}, "x", report)
call(function() local a, b = {}, print return a > b end, {}, "x", report)
call(function() return "z" >= 1 end, {}, "x", report)
call(function() if nil <= "s" then end end, {}, "x", report)
call(function() local a return (a) .. "x" end, {}, "x", report)
call(function() local t = {} return t["key"] .. "x" end, {}, "x", report)
call(function() local t = {} return t.a.b .. "x" end, {}, "x", report)
call(function() return "x" .. (-nil) end, {}, "x", report)
print(-(0 * 1), 0 * -1 * -1, -(-(0)), 0 / -3, -(1 - 1), 1 - 1, -0 + 0, 0 * -(2 - 1))
local m = -0
print(m, 1 / m, 0 - 0, 2 * 0 - 0)
local T = newtag()
settagmethod(T, "add", function(a, b, e) return e .. " " .. b end)
settagmethod(T, "sub", function(a, b, e) return e .. " " .. b end)
local v = settag({}, T)
print(v - 0, v - (-(2)), v - 33554431, v - 33554432, v - 1e2, v - 2.0, v - -0)
local k1, k2 = "a", "a"
local t = {[k1] = 1, [k2] = 2}
print(t.a)
t = {10, 20; [n] = "one", [n + 1] = "two"}
print(t[1], t[2])
t = {[n] = "one", [2] = "two"; "uno"}
print(t[1], t[2])
t = {["x"] = 1, x = 2}
print(t.x)
exit(0)
