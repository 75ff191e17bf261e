-- A key set twice in the record part of a constructor keeps its first value
-- (4.0 stores each group of fields from the last to the first), with a list
-- part before or after it, and the list part's items win over it as written.
x = 3
function g() return nil, 3 end
function show(c)
  local keys = {1, 2, 3, "k"}
  for i = 1, 4 do write(tostring(c[keys[i]]), " ") end
  write(getn(c), "\n")
end
show({[3] = x, [3] = g(); 2, 2})
show({[3] = "a", k = nil, [3] = x; 1})
show({nil; [2] = 1, [2] = 5})
show({[2] = 1, [2] = 5; nil})
show({"a", "b"; [2] = "c", [1] = "d", k = 1})
show({[1] = "d", [2] = "c"; "a"})
show({[3] = 1, [3] = 2})
exit(0)
