-- More built-in tags: the default table tag's unm, function and arithmetic,
-- nil's unm, the file tag, called strings; and compares of either order whose
-- operands are variables of known types, on one line.
local report = function(m) print("caught: " .. m) end
local x, n, s, t = nil, 1, "a", {}
call(function() return %x > %n and %n < %x end, {}, "x", report)
call(function() return %n < %x and %x > %n end, {}, "x", report)
call(function() return %s >= %n or %n > %s end, {}, "x", report)
call(function() local a, b = 1, nil if a < 2 and a > b then end end, {}, "x", report)
call(function() return %t < 1 end, {}, "x", report)
call(function() return 1 <= %t end, {}, "x", report)
-- default tag: arithmetic, unary minus, calls on plain tables
settagmethod(tag({}), "unm", function(a, b, e) return "unm " .. tostring(b) end)
settagmethod(tag({}), "function", function(self, a) return "called with " .. a end)
settagmethod(tag({}), "mul", function(a, b, e) return e end)
local made = {}
for i = 1, 3 do made[i] = {} end
print(-made[1], made[2](5), made[3] * made[1], {} * 2)
settagmethod(tag({}), "unm", nil)
settagmethod(tag(nil), "unm", function(a, b, e) return "nil unm " .. type(a) end)
print(-made[1], -nil)
settagmethod(tag(nil), "unm", nil)
-- files: a user tag like any
settagmethod(tag(_STDOUT), "gettable", function(f, k) return "file field " .. k end)
print(_STDOUT.name, _STDERR.x)
settagmethod(tag(_STDOUT), "gettable", nil)
print(call(function() return _STDOUT.name end, {}, "x", report))
-- numbers and strings as called values
settagmethod(tag(""), "function", function(s, a) return s .. a end)
local s = "abc"
print(s("def"))
exit(0)
