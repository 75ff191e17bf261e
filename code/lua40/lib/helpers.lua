-- Helpers of translated chunks: the `for' loops' checks, and the Lua side of `..' and tables.
local H = ...
local type, tonumber, error, select, rawset = type, tonumber, error, select, rawset
local format, sub, gmatch, concat = string.format, string.sub, string.gmatch, table.concat
local getmetatable = debug.getmetatable
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
-- 4.0 checks the step first and the initial value last; an explicit nil
-- step is no step.
local function forPrepare(...)
  local a, b, c = ...
  if select("#", ...) < 3 then c = 1 end
  c = number(c, "step")
  b = number(b, "limit")
  return number(a, "initial value"), b, c
end
local function forIndex(i)
  if type(i) ~= "number" then error("`for' index must be a number", 0) end
  return i
end

-- What the C helpers concat and newTable hand over (lua40_run.cpp).

-- A constructor that may set one key twice, built in 4.0's order: a list
-- part item by item, a record part in groups of 31 fields, each group from
-- its last field to its first.
function H.buildTable(layout, first, second)
  local t = {}
  local part = first
  for kind, count in gmatch(layout, "(%a)(%d+)") do
    count = tonumber(count)
    if kind == "L" then
      for i = 1, count do rawset(t, i, part[i]) end
    else
      local group = 1
      while group <= count do
        local last = group + 30
        if last > count then last = count end
        for i = last, group, -1 do rawset(t, part[2 * i - 1], part[2 * i]) end
        group = last + 1
      end
    end
    part = second
  end
  return t
end

-- `..' of values that are not all strings and numbers, as 4.0 does it: pairs
-- from the right, as many strings at once as there are, the concat method of
-- the left operand's tag, else the right one's, else tag 0's (H.binaryMethod).
local kinds = {l = "local", g = "global", f = "field"}
local function concatError(names, index, value)
  local entry = 1
  for name in gmatch(names .. ",", "([^,]*),") do
    if entry == index and name ~= "" then
      error(format("attempt to concat %s `%.40s' (a %s value)", kinds[sub(name, 1, 1)],
        sub(name, 2), type(value)), 0)
    end
    entry = entry + 1
  end
  error(format("attempt to concat a %s value", type(value)), 0)
end

function H.concat(names, ...)
  local v = {...}
  local top = select("#", ...)
  while top > 1 do
    local a, b = v[top - 1], v[top]
    local ta, tb = type(a), type(b)
    local sa = ta == "string" or ta == "number"
    local sb = tb == "string" or tb == "number"
    if sa and sb then
      local first = top - 1
      while first > 1 do
        local t = type(v[first - 1])
        if t ~= "string" and t ~= "number" then break end
        first = first - 1
      end
      local parts = {}
      for i = first, top do
        local x = v[i]
        parts[#parts + 1] = type(x) == "number" and format("%.16g", x) or x
      end
      v[first] = concat(parts)
      top = first
    else
      -- 4.0 turns a number on the left into text before it looks further.
      if ta == "number" then a = format("%.16g", a) end
      local f = H.binaryMethod(a, b, "concat")
      if f == nil then
        local culprit = sa and top or top - 1
        concatError(names, culprit, v[culprit])
      end
      v[top - 1] = f(a, b, "concat")
      top = top - 1
    end
  end
  return v[1]
end

-- `o:true()' on anything but a variable: the object is kept here (a stack,
-- as the method's key may reach a tag method that does the same) until the
-- call takes it as its first argument. An object that cannot be indexed
-- fails here, named as 4.0 names it.
local kept, keptCount = {}, 0
local function keepSelf(o, what)
  local t = type(o)
  if t ~= "table" and t ~= "userdata" then
    local mt = getmetatable(o)
    if mt == nil or mt.__index == nil then
      if what then error(format("attempt to index %s (a %s value)", what, t), 0) end
      error("attempt to index a " .. t .. " value", 0)
    end
  end
  keptCount = keptCount + 1
  kept[keptCount] = o
  return o
end
local function nativeLessThan(a, b) return a < b end
-- a < b, a > b, a <= b, a >= b and a ^ b as 4.0 makes them, through the
-- library (tag.lua): > and <= ask whether b < a, and a compare error names the
-- types in the order written; `^' asks for a pow method whatever a and b are.
-- ":" keeps the object of `o:true()' and "self" hands it to the call.
function H.operator(op, a, b)
  -- No tail calls: a traceback must see this frame to hide it.
  local r
  if op == "^" then
    r = H.pow(a, b)
  elseif op == ":" then
    r = keepSelf(a, b)
  elseif op == "self" then
    r = kept[keptCount]
    kept[keptCount] = nil
    keptCount = keptCount - 1
  else
    local lessThan = H.lessThan or nativeLessThan
    if op == "<" then r = lessThan(a, b, a, b)
    elseif op == ">" then r = lessThan(b, a, a, b)
    elseif op == "<=" then r = not lessThan(b, a, a, b)
    else r = not lessThan(a, b, a, b) end
  end
  return r
end

return checkTable, forPrepare, forIndex, H.operator
