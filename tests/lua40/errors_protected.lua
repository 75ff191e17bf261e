-- Errors inside dostring and call are reported, and the script goes on.
print(dostring("local t = nil\nreturn t.x"))
print(dostring("x = = 1"))
print(call(function() error("inside") end, {}, "x"))
print(call(function() error("silent") end, {}, "x", nil))
print(dostring("call(error, {'again'})"))
print(dostring("error()"))
print(dostring("undefined_function()"))
print(dostring("strsub('abc', 1, nil)"))
print(dostring("assert(nil, 'why')"))
print(dostring("for k, v in 5 do end"))
print(dostring("for i = 1, 3 do i = 'x' end"))
-- names in tracebacks: methods, fields, upvalues and anonymous functions
obj = {}
function obj:m() error("in method") end
call(function() obj:m() end, {}, "x")
local helper = function() error("in local") end
call(function() %helper() end, {}, "x")
function named() error("in global") end
t = {f = named}
call(function() t.f() end, {}, "x")
-- a tag method is named by its event; a function the library calls has no name
tm = newtag()
settagmethod(tm, "index", function(tb, k) error("no field " .. k) end)
o = settag({}, tm)
call(function() return o.x end, {}, "x")
call(function() foreach({1}, function(k, v) error("in callback") end) end, {}, "x")
_ERRORMESSAGE = function(m) print("handled: " .. m) end
print(dostring("error('custom')"))
print(dostring("exit('abc')"))
print(dostring("local t = {} t[1].x = 1"))
print(dostring("function f() local x return function() return x end end"))
print(dostring("function f(a) return %a end"))
print(dostring("x = obj:name\nprint(x)"))
-- argument errors name the function as it was called
print(dostring("local len = strlen len({})"))
print(dostring("ascii('')"))
print(dostring("foreachi({'a'}, strrep)"))
-- unclosed nested functions are a syntax error, past what 5.1 would compile; a chain of
-- comparisons parses and runs (both as deep as this host's translator and 5.1 take)
print(dostring(strrep("function f() ", 500)))
print(dostring("return " .. strrep("1 < ", 90) .. "1"))
-- a long file name keeps its end
name = "a_file_name_long_enough_to_be_cut_short_where_the_message_shows_it.lua"
writeto(name) write("x = = 1") writeto()
print(dofile(name))
remove(name)
exit(0)
