-- print calls the global tostring as 4.0's C code does: without a name for
-- it, through a `function' tag method, taking a number for a string.
local report = function(m) write("caught: ", m, "\n") end
local original = tostring
tostring = nil
call(print, {1}, "x", report)
tostring = 5
call(print, {1}, "x", report)
local callable = settag({}, newtag())
settagmethod(tag(callable), "function", function(self, v) return "<" .. %original(v) .. ">" end)
tostring = callable
print(1, "a", nil)
tostring = function(v) return 1/3 end
print("x", "y")
tostring = function(v) return {} end
call(print, {1}, "x", report)
tostring = original
print(1/3, nil, "end")
exit(0)
