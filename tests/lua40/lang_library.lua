-- The library is C in 4.0: it keeps working when a script takes away the
-- globals it was written with, and its failures name none of its variables.
local show = function(m) write("error: ", m, "\n") end
local savedtostring = tostring
type = nil; next = nil; getn = nil; tag = nil; format = nil; strsub = nil
local t = {3, 1, 2}
sort(t)
tinsert(t, 4)
print(t[1], t[2], t[3], tremove(t), foreachi({5}, function(i, v) return v end))
for k, v in {9} do print(k, v) end
local T = newtag()
settagmethod(T, "index", function(t, k) return k end)
print(settag({}, T).zz, 1 .. 2, "x" .. 1.5, strlen("abc"), dostring("return 1"))

-- print takes tostring from the globals at each call
tostring = function(v) return "<" .. %savedtostring(v) .. ">" end
print(1, nil, "s")
tostring = function(v) return 5 end
print("five")
tostring = {}
call(print, {"x"}, "x", show)
tostring = nil
call(print, {"x"}, "x", show)
tostring = savedtostring

-- reading a nil key raw is an error, as writing one is, and so is reading
-- one from a table whose tag has a settable method but no gettable
print(call(function() return rawget({}, nil) end, {}, "x", show))
local S = newtag()
settagmethod(S, "settable", function(t, k, v) rawset(t, k, v) end)
local watched = settag({}, S)
watched.a = 1
print(call(function() return %watched[nil] end, {}, "x", show), watched.a)
print(call(function() return rawset({}, nil, 1) end, {}, "x", show))
print(rawget({[1] = "one"}, 1), rawget({}, 2))
exit(0)
