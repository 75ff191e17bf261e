-- 4.0's limits of 200 active locals and 100 parameters per function, hidden
-- locals of for loops included, are syntax errors with its own message.
_ERRORMESSAGE = function(m) write(m, "\n") end
function names(prefix, n)
  local s = prefix .. 1
  for i = 2, n do s = s .. ", " .. prefix .. i end
  return s
end
function try(s) write(type(dostring(s)), "\n") end

try("function f() local " .. names("a", 200) .. " end")
try("function f() local " .. names("a", 201) .. " end")
try("function f() local " .. names("a", 201) .. " = 1 end")
try("function f() local " .. names("a", 150) .. "; do local " .. names("b", 51) .. " end end")
try("function f() local " .. names("a", 150) .. "; local g = function() local " .. names("b", 150) .. " end end")
try("function f() local " .. names("a", 195) .. "; for i = 1, 2 do end end")
try("function f() local " .. names("a", 198) .. "; for i = 1, 2 do end end")
try("function f() local " .. names("a", 198) .. "; for k, v in {} do end end")
try("function f(" .. names("p", 100) .. ") end")
try("function f(" .. names("p", 99) .. ", ...) return arg end")
try("function f(" .. names("p", 101) .. ") end")
try("t = {} function t:m(" .. names("p", 100) .. ") end")
try("function f(" .. names("p", 150) .. ", ...) end")
exit(0)
