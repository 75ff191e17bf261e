-- Numeric loops: the visible variable is the counter.
for i = 1, 10 do
  if i == 2 then i = 8 end
  write(i, " ")
end
print()
for i = 3, 1, -1 do write(i, " ") end
print()
for i = 1, 0 do print("never") end
for i = "1", "3" do write(i, ";") end
print()
for i = 1, 2, 0.5 do write(i, " ") end
print()

-- Table loops: two names, raw traversal.
local t = {10, 20, 30}
local sum = 0
for k, v in t do sum = sum + k * v end
print(sum)
local keys = {}
for k, v in {a = 1, b = 2, c = 3} do tinsert(keys, k .. "=" .. v) end
sort(keys)
print(keys[1], keys[2], keys[3], getn(keys))

-- Setting the key moves the traversal: nil starts it again.
local seen = 0
for k, v in {x = 1} do
  seen = seen + 1
  if seen < 3 then k = nil end
end
print(seen)

-- while, repeat (the condition does not see the body's locals), break
local n = 0
while 1 do
  n = n + 1
  if n >= 5 then break end
end
print(n)
x = "global"
repeat local x = "local" until x == "global"
print("repeat saw the global")
local j = 0
repeat j = j + 1 until j > 3
print(j)
exit(0)
