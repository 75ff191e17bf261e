-- `^' with a nil operand in the start-up script: the math library's pow
-- tag method reports it, and the traceback shows that tag method.
-- runs on
function square(x) return x ^ 2 end
print(square(3))
local missing
print(2 ^ missing)
print("not reached")
