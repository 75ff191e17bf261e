-- Comparisons and not give 1 or nil; and/or share one priority.
print(1 < 2, 2 < 1, 1 == 1, "a" ~= "a", not nil, not 0)
local a = 3 > 2
print(a, type(a))
print(1 or nil and 3)
print(nil and 1 or 2)
print(1 and nil or 5)
print(nil or 2 and 3)
print(0 and "zero is true", "" and "empty is true")
t = {3 == 3, 3 == 4}
print(t[1], t[2])
function cmp(x, y) return x < y end
print(cmp(1, 2), cmp(2, 1))
print((1 < 2) + 1)
print("x" .. (1 == 1))
print(true, false, true == false)
print(1 == 1 and "yes" or "no", 1 == 2 and "yes" or "no")
if not (1 > 2) then print("if ok") end
print("0" == 0, 10 == "10")
exit(0)
