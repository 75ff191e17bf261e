-- Concat errors name the variable that holds the bad operand, as the other
-- operand errors do; values that come from no variable stay unnamed.
local report = function(m) print("caught: " .. m) end
local t = {first = "Ada"}
call(function() local t = {} return t.name .. "x" end, {}, "x", report)
call(function() local t = {} return "x" .. t.name end, {}, "x", report)
call(function() local s return s .. "x" end, {}, "x", report)
call(function() local s return 1 .. s end, {}, "x", report)
call(function() return undefined_global .. "x" end, {}, "x", report)
call(function() return "x" .. undefined_global end, {}, "x", report)
call(function() local p = {} return p .. "x" end, {}, "x", report)
call(function() return %t.first .. " " .. %t.last end, {}, "x", report)
call(function() return %t.last .. " " .. %t.first end, {}, "x", report)
call(function() local a, b, c = "a", nil, "c" return a .. b .. c end, {}, "x", report)
call(function() local a, b, c = "a", "b", nil return a .. b .. c end, {}, "x", report)
call(function() local a, b, c = nil, "b", "c" return a .. b .. c end, {}, "x", report)
call(function() local t, k = {}, "key" return t[k] .. "x" end, {}, "x", report)
call(function() local t = {} return t[1] .. "x" end, {}, "x", report)
call(function() return %t .. "x" end, {}, "x", report)
call(function() return {} .. "x" end, {}, "x", report)
call(function() return print() .. "x" end, {}, "x", report)
call(function() local o = {} function o:m() return self.v .. "!" end return o:m() end, {}, "x", report)
-- the whole report of one
call(function() local user = {} return "name: " .. user.name end, {}, "x")
exit(0)
