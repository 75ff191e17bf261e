-- A numeric for checks its step first and its initial value last, whether
-- or not its body changes the variable; an explicit nil step is refused.
_ERRORMESSAGE = function(m) write(m, "\n") end
local cases = {
  "for i = nil, nil do end",
  "for i = 1, nil, nil do end",
  "for i = nil, 1, nil do end",
  "for i = 'a', 'b', {} do end",
  "for i = nil, '3' do end",
  "for i = 1, 2 do for j = nil, nil, 1 do end end",
  "for i = 1, 2 do for j = 1, nil, print do end end",
  "for i = nil, nil do i = 1 end",
  "for i = 1, nil, nil do i = 1 end",
  "for i = nil, 1, nil do i = 2 end",
  "for i = 1, 2, nil do i = 2 end",
}
for i = 1, getn(cases) do dostring(cases[i]) end
for i = ' 1 ', '2' do write(i, " ") end
for i = 3, 1, '-1' do write(i, " ") end
print()
exit(0)
