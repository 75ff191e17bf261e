-- Numeric loops: the visible variable is the counter.
for i = 1, 10 do
  if i == 2 then i = 8 end
  write(i, " ")
end
print()
for i = "1", "3" do write(i, ";") end
print()

-- Table loops: two names, raw traversal.
local t = {10, 20, 30}
local sum = 0
for k, v in t do sum = sum + k * v end
print(sum)

-- the condition of repeat does not see the body's locals
x = "global"
repeat local x = "local" until x == "global"
print("repeat saw the global")
exit(0)
