-- Numbers become text with %.16g everywhere.
print(1/3, 100/3, 1e15, 2^53, 1e16)
print(1/0, -1/0, 2^1024)
local third = 1/3
print("third=" .. third, third .. "", 0.1 + 0.2)
print(tostring(2/3), format("%s", 1/7))
write(1/3, " ", 12, "\n")
print("10" + 5, " 7 " - 2, "3" * "4", 2^0.5)
print(tonumber("0x10"), tonumber("  12  "), tonumber("1e2"), tonumber("z"))
print(tonumber("ff", 16), tonumber("777", 8), tonumber("zz", 36))
print(123456789012345678)
print(-7 / 2, 7 / -2, 2^-1)
print(strlen(1/3), 1e100)
exit(0)
