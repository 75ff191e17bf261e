-- Compare errors name the operand types in the order they are written,
-- whichever operator compares them.
local report = function(m) print("caught: " .. m) end
local x, n, s, t, f = nil, 1, "a", {}, print
call(function() return %x > 1 end, {}, "x", report)
call(function() return 1 > %x end, {}, "x", report)
call(function() return %x >= 1 end, {}, "x", report)
call(function() return 1 >= %x end, {}, "x", report)
call(function() return %x < 1 end, {}, "x", report)
call(function() return 1 < %x end, {}, "x", report)
call(function() return %x <= 1 end, {}, "x", report)
call(function() return 1 <= %x end, {}, "x", report)
call(function() return %s > %n end, {}, "x", report)
call(function() return %n >= %s end, {}, "x", report)
call(function() return %t > %f end, {}, "x", report)
call(function() return %f <= %t end, {}, "x", report)
call(function() return %t < %t end, {}, "x", report)
call(function() return %x > %x end, {}, "x", report)
call(function() return %f >= %f end, {}, "x", report)
call(function() return _STDOUT < "s" end, {}, "x", report)
call(function() if %x > 0 then return 1 end end, {}, "x", report)
call(function() while 0 <= %x do end end, {}, "x", report)
call(function() return max(1, %x) end, {}, "x", report)
-- the whole report of one
call(function() local limit return 3 > limit end, {}, "x")
exit(0)
