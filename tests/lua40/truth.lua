-- Comparisons and not give 1 or nil; and/or share one priority.
print(1 < 2, 2 < 1, 1 == 1, "a" ~= "a", not nil, not 0)
print(1 or nil and 3)
print(nil or 2 and 3)
print(0 and "zero is true", "" and "empty is true")
t = {3 == 3, 3 == 4}
print(t[1], t[2])
print((1 < 2) + 1, "x" .. (1 == 1))
print(true, false, true == false)
print("0" == 0, 10 == "10")
exit(0)
