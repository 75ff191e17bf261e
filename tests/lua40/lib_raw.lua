-- rawget and rawset with the keys no table can hold: a nil key to read is
-- an error, and a NaN key is stored where no read finds it again.
local report = function(m) print("caught: " .. m) end
local t = {5}
print(call(rawget, {t, nil; n = 2}, "x", report))
print(call(rawget, {t}, "x", report))
print(call(rawset, {t, nil, 1}, "x", report))
local nan = 0 / 0
print(rawset(t, nan, 1) == t, rawget(t, nan), getn(t), t[1])
print(rawget(t, 1), rawgettable(t, 1), rawget(t, 2))
exit(0)
