#!/usr/bin/env lua
-- Lexical rules of 4.0.
--[[ this is a line comment in 4.0
print("after a --[[ comment")
--]]
s = [[a [[nested]] b]]
print(s, strlen(s))
s = [[
x]]
print(strlen(s), strbyte(s, 1))
true = "t"; false = "f"; in = "i"
print(true, false, in)
local tbl = {in = 1}
tbl.true = 2
print(tbl.in, tbl["true"])
print("a\65\066c", "%d and -- not a comment", "[[not long]]")
f = print
f
("continued call")
print(1e2, .5, 3., 0.5e1)
exit(0) -- a comment on the last line
