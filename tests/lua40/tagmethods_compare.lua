-- An lt tag method is asked about values of two different types too: nil
-- with a number, a tagged table with a string; > and <= ask whether the
-- right operand is less than the left. Errors name the types as written.
local report = function(m) print("caught: " .. m) end
settagmethod(tag(nil), "lt", function(a, b) print("nil lt", a, b) return 1 end)
print(missing < 1, 1 < missing, missing > 2, missing <= 3, missing >= 4, missing < missing)
if missing < 5 then print("then") end
local x
while x < 1 do print("loop") x = 2 end
print(tostring(nil > 0))
local T = newtag()
settagmethod(T, "lt", function(a, b) print("T lt", type(a), type(b)) return nil end)
local v = settag({}, T)
print(v < 1, 1 < v, v > "s", v <= 2, v >= 3)
settagmethod(tag(nil), "lt", nil)
print(call(function() return nil < 1 end, {}, "x", report))
print(call(function() return 1 > nil end, {}, "x", report))
print(call(function() return {} <= "a" end, {}, "x", report))
print(call(function() return {} >= {} end, {}, "x", report))
print(1 < 2, "a" < "b", 2 <= 2, 3 >= 4, 0/0 <= 1, 0/0 >= 1)
local a, b = 1, "x"
print(call(function() return %a < %b end, {}, "x", report))
settagmethod(0, "lt", function(a, b) return 1 end)
print({} < 1, print < print, "a" < 1)
settagmethod(0, "lt", nil)
-- A chunk made after the first method was set compares through it too,
-- whether or not its text names the event.
local event = "l" .. "t"
settagmethod(tag(nil), event, function(a, b) return 1 end)
print(dostring("return nil < 1, 2 > nil, nil <= 3"))
settagmethod(tag(nil), event, nil)
print(dostring("return 1 < 2, 'b' > 'a'"))
exit(0)
