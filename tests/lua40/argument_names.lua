-- Argument errors name the function as 4.0 finds it: by the variable the
-- script called it through, else by the global that holds it, else by the tag
-- method it is, else `?'. No name made up by the host may show.
local report = function(m) print("caught: " .. m) end
-- called from C (call, foreachi, gsub): the global holding the function
call(function() call(format, {"%d", "x"}) end, {}, "x", report)
call(function() call(strsub, {"abc", {}}) end, {}, "x", report)
call(function() call(strrep, {"x"}) end, {}, "x", report)
call(function() foreachi({"a"}, strrep) end, {}, "x", report)
call(function() gsub("abc", "%w", strrep) end, {}, "x", report)
call(function() sort({{}, {}}, strfind) end, {}, "x", report)
-- called through a variable: its name
local len = strlen
call(function() local size = strlen return size({}) end, {}, "x", report)
call(function() local t = {size = strlen} return t.size({}) end, {}, "x", report)
call(function() local t = {size = strlen} return t:size() end, {}, "x", report)
measure = strlen
call(function() return measure({}) end, {}, "x", report)
measure = nil
-- through an upvalue: no name from the call, so the global search
call(function() return %len({}) end, {}, "x", report)
local fmt = format
function formatter(x) return %fmt("%d", x) end
call(function() return formatter("y") end, {}, "x", report)
-- a function no global holds: its tag method event, else `?'
local rep = strrep
strrep = nil
local proxy = newtag()
settagmethod(proxy, "index", rep)
call(function() return settag({}, %proxy).x end, {}, "x", report)
call(function() return %rep({}) end, {}, "x", report)
call(function() local r = %rep return r({}) end, {}, "x", report)
settagmethod(proxy, "index", nil)
call(function() return %rep({}) end, {}, "x", report)
strrep = rep
-- calling a nil upvalue or an upvalue's field: no name at all
local nothing
call(function() return %nothing(1) end, {}, "x", report)
call(function() return %nothing.field end, {}, "x", report)
call(function() return %len .. "x" end, {}, "x", report)
-- the full report of one, with its traceback
function wrapper() return %fmt("%d", {}) end
call(wrapper, {}, "x")
call(call, {format, {"%s %d", "a", "b"}}, "x")
exit(0)
