-- Helpers every translated chunk receives: the checks of the two `for' loops.
local next, type, tonumber, error = next, type, tonumber, error
local function checkTable(t)
  if type(t) ~= "table" then error("`for' table must be a table", 0) end
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
