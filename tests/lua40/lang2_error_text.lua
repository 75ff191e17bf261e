-- What a script raises with error() or assert() reaches the handler as
-- written, even when it looks like a position or like a message of the host.
E = _ERRORMESSAGE
Parser = {}
function Parser:fail(where, what) error(where .. ": " .. what) end
function Parser:line(n) self:fail("scripts/monkey.lua:" .. n, "unexpected token") end
call(Parser.line, {Parser, 3}, "x", E)
call(function() error("attempt to concatenate global 'x' (a nil value)") end, {}, "x", E)
call(function() error("C stack overflow") end, {}, "x", E)
call(function() error("bad 'for' loop, invalid key to 'next' in pattern 'x'") end, {}, "x", E)
call(function() assert(nil, "scripts/monkey.lua:9: attempt to call upvalue 'q'") end, {}, "x", E)
call(function() error("scripts/monkey.lua:3: fake") end, {}, "x", function(m) print("handler:", m) end)
dostring("error('scripts/monkey.lua:1: in a string chunk')")
-- the host's own messages are still 4.0's
call(function() local x = nil .. 1 end, {}, "x", E)
call(function() return nosuch() end, {}, "x", E)
exit(0)
