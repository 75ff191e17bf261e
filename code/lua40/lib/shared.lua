-- Argument checks shared by the four 4.0 libraries, and the helpers they share.
local lib, env, H = ...
local type, select, error, format, floor, ceil = type, select, error, string.format, math.floor, math.ceil
local tonumber, rawget, next = tonumber, rawget, next

local getinfo, sub, find = debug.getinfo, string.sub, string.find

-- 4.0 names a function in its argument errors as its caller called it: the
-- local, global or field the script read it from. A function called from C
-- (the library), or through an upvalue, has no such name: then the global
-- that holds it, else the tag method it is, else "?". The innermost library
-- function on the stack is the one that checks its arguments.
local kinds = {global = 1, ["local"] = 1, field = 1, method = 1}
local function calledName(fname)
  local public = H.public
  if not public then return fname end
  for level = 3, 30 do
    local info = getinfo(level, "nf")
    if not info then break end
    if public[info.func] then
      local caller = getinfo(level + 1, "S")
      local name = info.name
      -- The translator's own names (_C40, _U40_1, ...) are no names.
      if caller and caller.what ~= "C" and caller.source ~= "=(lua40)" and name
        and kinds[info.namewhat] and not find(name, "^_%u+40") then
        if sub(name, 1, 2) == "__" then name = sub(name, 3) end -- renamed true/false/in
        return name
      end
      return H.functionName(info.func) or "?"
    end
  end
  return fname
end

local function argError(n, fname, extra)
  -- 4.0 prints at most 50 bytes of the name and 100 of the rest
  error(format("bad argument #%d to `%s' (%s)", n, sub(calledName(fname), 1, 50), sub(extra, 1, 100)), 0)
end
H.argError = argError

local function typeName(v, n, count)
  if n > count then return "no value" end
  local t = type(v)
  if t == "boolean" then return "nil" end
  return t
end

local function expected(what, v, n, fname, count)
  argError(n, fname, what .. " expected, got " .. typeName(v, n, count))
end

function H.checkString(v, n, fname, count)
  local t = type(v)
  if t == "string" and n <= count then return v end
  if t == "number" then return format("%.16g", v) end
  expected("string", v, n, fname, count)
end

function H.checkNumber(v, n, fname, count)
  if type(v) == "number" then return v end
  if type(v) == "string" then
    local x = tonumber(v)
    if x then return x end
  end
  expected("number", v, n, fname, count)
end

-- C's (int) cast of a double.
local function toInt(x)
  if x >= 2147483648 or x < -2147483648 or x ~= x then return -2147483648 end
  if x >= 0 then return floor(x) end
  return ceil(x)
end
H.toInt = toInt

function H.checkInt(v, n, fname, count)
  return toInt(H.checkNumber(v, n, fname, count))
end

-- C's (long) cast, which the string functions use for positions.
local LONG_MIN = -9223372036854775808
function H.checkLong(v, n, fname, count)
  local x = H.checkNumber(v, n, fname, count)
  if x >= -LONG_MIN or x < LONG_MIN or x ~= x then return LONG_MIN end
  if x >= 0 then return floor(x) end
  return ceil(x)
end

function H.checkTable(v, n, fname, count)
  if type(v) ~= "table" then expected("table", v, n, fname, count) end
  return v
end

function H.checkFunction(v, n, fname, count)
  if type(v) ~= "function" then expected("function", v, n, fname, count) end
  return v
end

function H.checkAny(n, fname, count)
  if n > count then argError(n, fname, "value expected") end
end

-- getn: the field n when it is a number, else the largest positive numeric
-- key holding a value. Tables whose contents the tag library keeps elsewhere
-- are read there (H.raw, set by tag.lua).
function H.getn(t)
  if t == H.globalsTable or H.shadowing then t = H.raw(t) end
  local n = rawget(t, "n")
  if type(n) == "number" then return toInt(n) end
  local max = 0
  for k in next, t do
    if type(k) == "number" and k > max then max = k end
  end
  return toInt(max)
end

-- Text up to its first NUL, as C's string functions see it.
function H.cString(s)
  local nul = find(s, "\0", 1, true)
  if nul then return sub(s, 1, nul - 1) end
  return s
end

-- An argument 4.0 reads as a C string: its text up to the first NUL.
function H.checkCString(v, n, fname, count)
  return H.cString(H.checkString(v, n, fname, count))
end

-- Library groups that do more than set globals when opened.
H.onOpen = {}

function H.pack(...)
  return {n = select("#", ...), ...}
end
