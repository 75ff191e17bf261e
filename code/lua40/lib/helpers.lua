-- Helpers every translated chunk receives: the checks of the two `for' loops.
local H = ...
local type, tonumber, error = type, tonumber, error
-- `for k, v in t' walks what t holds, without tag methods: for a table whose
-- contents the library keeps elsewhere (H.raw), those contents.
local function checkTable(t)
  if type(t) ~= "table" then error("`for' table must be a table", 0) end
  if t == H.globalsTable or H.shadowing then return H.raw(t) end
  return t
end
local function number(v, what)
  local n = tonumber(v)
  if n == nil then error("`for' " .. what .. " must be a number", 0) end
  return n
end
local function forPrepare(a, b, c)
  if c == nil then c = 1 end
  return number(a, "initial value"), number(b, "limit"), number(c, "step")
end
local function forIndex(i)
  if type(i) ~= "number" then error("`for' index must be a number", 0) end
  return i
end
return checkTable, forPrepare, forIndex
