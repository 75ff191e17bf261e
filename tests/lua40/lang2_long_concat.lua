-- Long chains of `..': they run up to 4.0's stack of 250 values (the locals
-- and what the enclosing expression has pushed count), and past it fail
-- where 4.0 stops reading.
_ERRORMESSAGE = function(m) print("error: " .. m) end
a = "q"
O = {m = function(self, x, y) return strlen(y) end}
function try(n, before, after)
  print(n, dostring(before .. strrep("a .. ", n) .. "a" .. after))
end
-- each pair: the longest chain 4.0 takes there, and one more operand
try(248, "return strlen(", ")")
try(249, "return strlen(", ")")
try(245, "local b, c, d = 1, 2, 3 return strlen(", ")")
try(246, "local b, c, d = 1, 2, 3 return strlen(", ")")
try(246, "return O:m(1, ", ")")
try(247, "return O:m(1, ", ")")
try(247, "T = {} T.x = ", " return strlen(T.x)")
try(248, "T = {} T.x = ", " return strlen(T.x)")
try(246, "T = {1, 2, ", "} return strlen(T[3])")
try(247, "T = {1, 2, ", "} return strlen(T[3])")
try(245, "T = {x = 1, y = ", "} return strlen(T.y)")
try(246, "T = {x = 1, y = ", "} return strlen(T.y)")
try(246, "for i = 1, 1 do X = ", " end return strlen(X)")
try(247, "for i = 1, 1 do X = ", " end return strlen(X)")
try(248, "local f = function() return strlen(", ") end return f()")
try(249, "local f = function() return strlen(", ") end return f()")
try(247, "return strlen(a .. (", "))")
try(248, "return strlen(a .. (", "))")
-- far past it, across lines, and of literals
print(dostring("X = " .. strrep("a ..\n", 300) .. "a"))
print(dostring("X = " .. strrep("'b' .. ", 300) .. "a"))
-- the value that does not fit: a string or a table as 4.0 reads it, a
-- number or a call once read, a variable when the next token is read
print(dostring("X = " .. strrep("'s' .. a ..\n", 130) .. "a"))
print(dostring("X = " .. strrep("a .. 's' ..\n", 130) .. "a"))
print(dostring("X = " .. strrep("1 ..\n", 300) .. "a"))
print(dostring("X = " .. strrep("strlen(a) ..\n", 300) .. "a"))
-- so do arguments, far past what 4.0 takes
function count(...) return arg.n end
print(dostring("return count(" .. strrep("1, ", 260) .. "1)"))
print(dostring("local a return count(" .. strrep("a,\n", 260) .. "a)"))
print(dostring("return count(" .. strrep("'x', ", 249) .. "1)"))
print(dostring("return count(" .. strrep("{}, ", 255) .. "1)"))
print(dostring("return count(" .. strrep("nil, ", 255) .. "1)"))
print(dostring("return " .. strrep("a, ", 255) .. "1"))
-- long chains that 4.0 takes still name the culprit and format numbers
print(dostring("X = " .. strrep("1 .. ", 220) .. "'c'"), strlen(X))
print(dostring("local v X = " .. strrep("a .. ", 230) .. "v"))
print(dostring("local v X = v .. " .. strrep("a .. ", 230) .. "a"))
exit(0)
