-- Strings carry no methods in 4.0: indexing one is an error named after the
-- variable, and ("s"):f() does not parse.
local report = function(m) print("caught: " .. m) end
local s = "abc"
print(strlen(s), strupper(s))
call(function() local s = "abc" return s:len() end, {}, "x", report)
call(function() local s = "abc" return s.len end, {}, "x", report)
call(function() local s = "abc" return s[1] end, {}, "x", report)
call(function() local s = "abc" s.x = 1 end, {}, "x", report)
word = "global"
call(function() return word:upper() end, {}, "x", report)
call(function() return word.upper(word) end, {}, "x", report)
local t = {name = "field"}
call(function() return %t.name:len() end, {}, "x", report)
call(function() return %s:len() end, {}, "x", report)
call(function() local n = 5 return n.x end, {}, "x", report)
call(function() return format("%d", 1):len() end, {}, "x", report)
print(dostring("return ('abc'):len()"))
print(dostring("x = ('abc'):len()"))
print(dostring("return \"abc\":len()"))
-- a gettable method on the string tag is how a 4.0 program gives them some
settagmethod(tag(""), "gettable", function(s, k) return getglobal("str" .. k) end)
print(s:len(), word:upper(), t.name:sub(2, 3))
exit(0)
