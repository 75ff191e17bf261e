-- Functions whose two arguments 4.0 checks from the last (they are the
-- arguments of one C call), and settag, which finds its own table where a
-- missing tag should be.
local report = function(m) print("caught: " .. m) end
local cases = {
  {"atan2", atan2}, {"mod", mod}, {"ldexp", ldexp}, {"copytagmethods", copytagmethods},
  {"openfile", openfile}, {"rename", rename},
}
local argsets = {{n = 0}, {n = 1}, {{}}, {"x", {}}, {{}, "x"}, {print, print}, {{}, 1}}
for i = 1, getn(cases) do
  for j = 1, getn(argsets) do
    write(cases[i][1], " ", j, ": ")
    call(cases[i][2], argsets[j], "x", report)
  end
end
print(call(settag, {{}}, "x", report))
print(call(settag, {n = 2; {}, nil}, "x", report))
print(call(settag, {1}, "x", report))
print(mod(7, 3), atan2(1, 1), ldexp(1, 3))
exit(0)
