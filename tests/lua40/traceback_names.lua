-- Names in tracebacks: methods, fields, upvalues and anonymous functions.
obj = {}
function obj:m() error("in method") end
call(function() obj:m() end, {}, "x")
local helper = function() error("in local") end
call(function() %helper() end, {}, "x")
function named() error("in global") end
t = {f = named}
call(function() t.f() end, {}, "x")
exit(0)
