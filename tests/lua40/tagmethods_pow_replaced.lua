-- The number tag's pow method runs for every `^', two numbers included: replaced,
-- removed, with tag 0's as the last resort, and back to the math library's.
local report = function(m) print("caught: " .. m) end
print(2 ^ 3, -2 ^ 2, 2 ^ 3 ^ 2, 2 ^ -1)
local old = gettagmethod(tag(1), "pow")
settagmethod(tag(1), "pow", function(a, b) return format("%s pow %s", tostring(a), tostring(b)) end)
print(2 ^ 3, "2" ^ 3, 2 ^ 0.5)
print(dostring("return 4 ^ 2"))
settagmethod(tag(1), "pow", nil)
print(call(function() return 2 ^ 3 end, {}, "x", report))
settagmethod(0, "pow", function(a, b) return "tag 0 pow" end)
print(2 ^ 3)
settagmethod(0, "pow", nil)
settagmethod(tag(1), "pow", old)
print(2 ^ 10, call(function() return 2 ^ nil end, {}, "x", report))
local t = settag({}, newtag())
print(call(function() return %t ^ 2 end, {}, "x", report))
exit(0)
