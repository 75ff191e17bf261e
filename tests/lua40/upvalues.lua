-- Upvalues copy the value when the closure is created.
local fs = {}
local i = 1
while i <= 3 do
  fs[i] = function() return %i end
  i = i + 1
end
print(fs[1](), fs[2](), fs[3]())

function counter(start)
  local t = {n = start}
  return function() %t.n = %t.n + 1; return %t.n end
end
local c = counter(10)
print(c(), c())

-- a plain name inside the closure is the live global; % may be followed by spaces
v = 1
local f = function() return v, % v end
v = 2
print(f())
exit(0)
