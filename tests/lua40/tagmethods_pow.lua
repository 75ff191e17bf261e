-- `^' is the pow tag method of the number tag, which the math library sets:
-- its errors name `pow' and show the tag method in the traceback.
local pow = gettagmethod(tag(1), "pow")
print(type(pow), pow == gettagmethod(tag(2), "pow"), gettagmethod(tag(""), "pow"))
print(2 ^ 10, "3" ^ 2, 2 ^ "3", 4 ^ 0.5, -2 ^ 2, 2 ^ 3 ^ 2)
print(pow(2, 8, "pow"))
call(function() return 2 ^ nil end, {}, "x")
call(function() return nil ^ 2 end, {}, "x")
call(function() return "x" ^ 2 end, {}, "x")
call(function() return {} ^ 2 end, {}, "x")
function power(a, b) return a ^ b end
call(function() return power(2, {}) end, {}, "x")
-- an operand's own pow method: the first operand's tag is asked first
local vector = newtag()
settagmethod(vector, "pow", function(a, b, e) return e .. " of a vector" end)
local v = settag({}, vector)
print(v ^ 2, v ^ v, nil ^ v)
call(function() return 2 ^ %v end, {}, "x")
-- the number tag's method can be replaced and removed (on this host `^'
-- between two numbers stays their power whatever it is, so others show it)
settagmethod(tag(1), "pow", function(a, b, e) return a .. " " .. e .. " " .. b end)
print(2 ^ "x", v ^ 1)
settagmethod(tag(1), "pow", nil)
call(function() return 2 ^ {} end, {}, "x")
print(call(function() return %v ^ 2 end, {}, "x"))
settagmethod(tag(1), "pow", pow)
print(2 ^ 3, gettagmethod(tag(1), "pow") == pow)
exit(0)
