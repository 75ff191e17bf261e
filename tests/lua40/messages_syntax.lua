-- Syntax errors with 4.0's words for what was expected and 4.0's last token.
local sources = {
  -- constructors
  "t = {x = 1, 2}",
  "t = {[1] = 1, 'a'}",
  "t = {1, x = 2}",
  "t = {1; 2}",
  "t = {x = 1; y = 2}",
  "t = {,}",
  "t = {1,,2}",
  "t = {x = 1,, y = 2}",
  -- statements
  ";",
  "x = 1;;",
  "(f)()",
  "1 = 2",
  "'s':len()",
  "return 1 x = 2",
  "function f() return 1 print(2) end",
  "while 1 do break x = 1 end",
  "f() = 1",
  "x.y",
  "x, y",
  "local function f() end",
  "for k in t do end",
  "for k, v, w in t do end",
  "for i = 1 do end",
  "x = 5 % 2",
  "break",
  "if x then else elseif y then end",
  "function t:m.n() end",
  -- upvalues and outer locals
  "local a = 1 b = %a",
  "b = %print",
  "function f() local x function g() return x end end",
  "function f(a) return function() return function() return %a end end end",
  -- tokens
  "x = [[abc",
  "x = [[abc\ndef",
  "x = [[a [[b]] c",
  "x = \"abc",
  "x = \"abc\ndef\"",
  "x = '\\300'",
  "x = 3..2",
  "x = 0x10",
  "x = 1e",
  "x = 1.2.3",
  "$debug",
  "x = @",
  "x = ~ 1",
  "--[[ not a block comment\nx = = 1",
  "x = " .. strrep("long_name_", 10) .. " +",
  "'" .. strrep("a long string token ", 5) .. "'",
}
for i = 1, getn(sources) do print(i, dostring(sources[i])) end
-- and these parse in 4.0
print(type(dostring("return {;}")), type(dostring("return {1, 2,; x = 1,}")))
print(dostring("in = 3 return in + 1"), dostring("local true = 1 return true"))
exit(0)
