-- Numbers become text with %.16g everywhere.
print(1/3, 100/3, 1e15, 2^53, 1e16)
print(1/0, -1/0)
print("third=" .. 1/3, 0.1 + 0.2)
print(tostring(2/3), format("%s", 1/7))
write(1/3, " ", 12, "\n")
print("10" + 5, " 7 " - 2, "3" * "4", 2^0.5)
print(tonumber("0x10"), tonumber("  12  "), tonumber("1e2"), tonumber("z"), tonumber("ff", 16))
print(123456789012345678, strlen(1/3))
-- a minus on a zero literal folds away: -0 is 0 and leaves later 0s alone
local z = -0
print(z, 0, 1/0, "x=" .. 0, -0.0)
exit(0)
