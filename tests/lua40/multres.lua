-- Multiple results: parentheses keep them all, constructors take one.
function f() return 1, 2, 3 end
print((f()))
local a, b = (f())
print(a, b)
print(getn({f()}), getn({f(), f()}), getn({(f())}))
print(f(), "x")
print(format("%d %d", f()))
function none() end
print(none(), "x", none())
-- every operand of `..' gives one value, a call at the end too
print("n=" .. gsub("a_b", "_", " "))
print("r=" .. f(), f() .. "")
exit(0)
