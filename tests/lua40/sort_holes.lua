-- sort works on t[1..getn(t)] with 4.0's quicksort: a nil inside that range
-- is compared like any value, n decides the range, ties keep 4.0's order.
local report = function(m) print("caught: " .. m) end
function show(t)
  local out = ""
  for i = 1, getn(t) do out = out .. " " .. tostring(t[i]) end
  return out
end
call(sort, {{3, nil, 1}}, "x", report)
call(sort, {{3, 1, 2; n = 5}}, "x", report)
call(sort, {{5, 4, nil, 2, 1}}, "x", report)
call(sort, {{2, "1", 3}}, "x", report)
call(sort, {{{}, {}}}, "x", report)
local t = {3, 1, 0; n = 2}
sort(t)
print(show(t), t[3])
-- a comparator that places nil last sorts the holes too
t = {4, nil, 2, nil, 3; n = 5}
sort(t, function(a, b) if a == nil then return nil elseif b == nil then return 1 end return a < b end)
print(show(t))
-- equal keys end up in the order of 4.0's algorithm
local records = {}
local names = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}
for i = 1, getn(names) do records[i] = {key = mod(i, 3), name = names[i]} end
sort(records, function(x, y) return x.key < y.key end)
local order = ""
for i = 1, getn(records) do order = order .. records[i].name end
print(order)
-- the default order uses the lt tag method
local box = newtag()
settagmethod(box, "lt", function(a, b) return a.v > b.v end)
local boxes = {}
for i = 1, 5 do boxes[i] = settag({v = i}, box) end
sort(boxes)
print(boxes[1].v, boxes[2].v, boxes[3].v, boxes[4].v, boxes[5].v)
local many = {}
for i = 1, 20 do many[i] = i end
call(sort, {many, function(a, b) return 1 end}, "x", report)
call(sort, {{1, 2}, "x"}, "x", report)
call(sort, {{1, 2}; n = 2}, "x", report)
exit(0)
