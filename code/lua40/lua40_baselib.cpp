// The 4.0 base library, written in Lua on 5.1's library, and the argument
// checks shared by all four 4.0 libraries. An optional argument counts as
// absent only when it is not passed at all: an explicit nil is checked.
#include "lua40/lua40_lib.h"

namespace lua40 {

const char* const kSharedSource = R"LUA(
local lib, env, H = ...
local type, select, error, format, floor, ceil = type, select, error, string.format, math.floor, math.ceil
local tonumber, rawget, next = tonumber, rawget, next

local getinfo, sub = debug.getinfo, string.sub

-- 4.0 names a function in its argument errors as the call named it: the
-- global or local it was called through, "?" when it was called from the
-- library itself. The innermost library function on the stack is the one
-- that checks its arguments.
local function calledName(fname)
  local public = H.public
  if not public then return fname end
  for level = 3, 30 do
    local info = getinfo(level, "nf")
    if not info then break end
    if public[info.func] then
      local caller = getinfo(level + 1, "S")
      if info.name == nil or not caller or caller.source == "=(lua40)" then return "?" end
      local name = info.name
      if sub(name, 1, 2) == "__" then name = sub(name, 3) end -- renamed true/false/in
      return name
    end
  end
  return fname
end

local function argError(n, fname, extra)
  error(format("bad argument #%d to `%s' (%s)", n, calledName(fname), extra), 0)
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
-- key holding a value.
function H.getn(t)
  local n = rawget(t, "n")
  if type(n) == "number" then return toInt(n) end
  local max = 0
  for k in next, t do
    if type(k) == "number" and k > max then max = k end
  end
  return toInt(max)
end

function H.pack(...)
  return {n = select("#", ...), ...}
end
)LUA";

const char* const kBaseSource = R"LUA(
local lib, env, H = ...
local type, select, error, format, rawget, rawset, next = type, select, error, string.format, rawget, rawset, next
local tostring51, tonumber, unpack, xpcall, write = tostring, tonumber, unpack, xpcall, io.write
local checkString, checkNumber, checkInt, checkTable, checkAny =
  H.checkString, H.checkNumber, H.checkInt, H.checkTable, H.checkAny
local checkFunction, getn, argError, pack = H.checkFunction, H.getn, H.argError, H.pack
local null, silent, concat, find = H.null, H.silent, table.concat, string.find

lib._VERSION = "Lua 4.0.1"
lib._ALERT = H.alert
lib._ERRORMESSAGE = H.errorWithLocation

function lib.assert(...)
  local count = select("#", ...)
  local v, m = ...
  checkAny(1, "assert", count)
  if v == nil then
    if count >= 2 then m = checkString(m, 2, "assert", count) else m = "" end
    error("assertion failed!  " .. string.sub(m, 1, 90), 0) -- 4.0 formats it with %.90s
  end
end

function lib.error(...)
  local count = select("#", ...)
  local msg = ...
  if msg == nil then error(silent, 0) end
  error(checkString(msg, 1, "error", count), 0)
end

function lib.call(...)
  local count = select("#", ...)
  local f, args, mode, handler = ...
  checkTable(args, 2, "call", count)
  if count >= 3 then mode = checkString(mode, 3, "call", count) else mode = "" end
  if find(mode, "p", 1, true) then error("deprecated option `p' in `call'", 0) end
  local n = getn(args)
  local saved
  if count >= 4 then
    saved = rawget(env, "_ERRORMESSAGE")
    rawset(env, "_ERRORMESSAGE", handler)
  end
  local results = pack(xpcall(function() return f(unpack(args, 1, n)) end, H.reportError))
  if count >= 4 then rawset(env, "_ERRORMESSAGE", saved) end
  if results[1] then return unpack(results, 2, results.n) end
  if find(mode, "x", 1, true) then return nil end
  error(silent, 0) -- already reported: propagate without a second report
end

function lib.collectgarbage(...)
  local count = select("#", ...)
  local limit = ...
  if count >= 1 then limit = checkNumber(limit, 1, "collectgarbage", count) else limit = 0 end
  if limit <= collectgarbage("count") then collectgarbage("collect") end
end

function lib.dofile(...)
  local count = select("#", ...)
  local name, source = ...
  if count == 0 then
    source = H.readfile(nil)
    name = "(stdin)"
  else
    name = checkString(name, 1, "dofile", count)
    source = H.readfile(name)
  end
  if source == nil then return nil, "file error" end
  return H.run(source, "@" .. name)
end

function lib.dostring(...)
  local count = select("#", ...)
  local s, name = ...
  s = checkString(s, 1, "dostring", count)
  if count >= 2 then name = checkString(name, 2, "dostring", count) else name = s end
  if s:byte(1) == 27 then error("`dostring' cannot run pre-compiled code", 0) end
  return H.run(s, name)
end

function lib.foreach(...)
  local count = select("#", ...)
  local t, f = ...
  checkTable(t, 1, "foreach", count)
  checkFunction(f, 2, "foreach", count)
  for k, v in next, t do
    local r = f(k, v)
    if r ~= nil then return r end
  end
end

function lib.foreachi(...)
  local count = select("#", ...)
  local t, f = ...
  checkTable(t, 1, "foreachi", count)
  checkFunction(f, 2, "foreachi", count)
  for i = 1, getn(t) do
    local r = f(i, rawget(t, i))
    if r ~= nil then return r end
  end
end

function lib.gcinfo()
  local kb = math.floor(collectgarbage("count"))
  return kb, 2 * kb
end

function lib.getglobal(...)
  local count = select("#", ...)
  return env[checkString((...), 1, "getglobal", count)]
end

function lib.setglobal(...)
  local count = select("#", ...)
  local name, v = ...
  checkAny(2, "setglobal", count)
  env[checkString(name, 1, "setglobal", count)] = v
end

function lib.getn(...)
  return getn(checkTable((...), 1, "getn", select("#", ...)))
end

-- Every chunk and function shares the one environment table, so installing
-- another globals table copies its contents in; the previous contents come
-- back as a fresh table.
function lib.globals(...)
  local count = select("#", ...)
  if count == 0 then return env end
  local t = checkTable((...), 1, "globals", count)
  local old = {}
  for k, v in next, env do old[k] = v end
  for k in next, old do rawset(env, k, nil) end
  for k, v in next, t do rawset(env, k, v) end
  return old
end

function lib.next(...)
  local count = select("#", ...)
  local t, k = ...
  checkTable(t, 1, "next", count)
  local ok, k2, v = pcall(next, t, k)
  if not ok then error("invalid key for `next'", 0) end
  if k2 == nil then return nil end
  return k2, v
end

function lib.print(...)
  local count = select("#", ...)
  local parts = {}
  local tostring40 = env.tostring
  for i = 1, count do
    local s = tostring40((select(i, ...)))
    if type(s) ~= "string" then error("`tostring' must return a string to `print'", 0) end
    parts[i] = s
  end
  write(concat(parts, "\t"), "\n")
end

function lib.rawget(...)
  local count = select("#", ...)
  local t, k = ...
  checkTable(t, 1, "rawget", count)
  checkAny(2, "rawget", count)
  return rawget(t, k)
end

function lib.rawset(...)
  local count = select("#", ...)
  local t, k, v = ...
  checkTable(t, 1, "rawset", count)
  checkAny(2, "rawset", count)
  checkAny(3, "rawset", count)
  return rawset(t, k, v)
end
lib.rawgettable = lib.rawget
lib.rawsettable = lib.rawset

function lib.sort(...)
  local count = select("#", ...)
  local t, comp = ...
  checkTable(t, 1, "sort", count)
  local n = getn(t)
  if count >= 2 then checkFunction(comp, 2, "sort", count) end
  local items = {}
  for i = 1, n do items[i] = rawget(t, i) end
  if comp then
    table.sort(items, function(a, b) return comp(a, b) ~= nil end)
  else
    table.sort(items)
  end
  for i = 1, n do rawset(t, i, items[i]) end
end

function lib.tinsert(...)
  local count = select("#", ...)
  local t = checkTable((...), 1, "tinsert", count)
  local n = getn(t)
  local pos
  if count == 2 then pos = n + 1 else pos = checkInt((select(2, ...)), 2, "tinsert", count) end
  local v = (select(count, ...))
  rawset(t, "n", n + 1)
  while n >= pos do
    rawset(t, n + 1, rawget(t, n))
    n = n - 1
  end
  rawset(t, pos, v)
end

function lib.tremove(...)
  local count = select("#", ...)
  local t, pos = ...
  checkTable(t, 1, "tremove", count)
  local n = getn(t)
  if count >= 2 then pos = checkInt(pos, 2, "tremove", count) else pos = n end
  if n <= 0 then return end
  local v = rawget(t, pos)
  while pos < n do
    rawset(t, pos, rawget(t, pos + 1))
    pos = pos + 1
  end
  rawset(t, "n", n - 1)
  rawset(t, n, nil)
  return v
end

function lib.tonumber(...)
  local count = select("#", ...)
  local e, base = ...
  if count >= 2 then base = checkInt(base, 2, "tonumber", count) else base = 10 end
  if base == 10 then
    checkAny(1, "tonumber", count)
    return tonumber(e)
  end
  e = checkString(e, 1, "tonumber", count)
  if base < 2 or base > 36 then argError(2, "tonumber", "base out of range") end
  if e:find("^%s*[-+]") then return nil end -- strtoul over unsigned digits only
  return tonumber(e, base)
end

function lib.tostring(...)
  local count = select("#", ...)
  local v = ...
  checkAny(1, "tostring", count)
  local t = type(v)
  if t == "number" then return format("%.16g", v) end
  if t == "string" then return v end
  if t == "nil" then return "nil" end
  if t == "userdata" then return format("userdata(%d): %s", H.tagOf(v), H.pointerText(v)) end
  if t == "boolean" then return v and "1" or "nil" end
  return tostring51(v)
end

function lib.type(...)
  local count = select("#", ...)
  checkAny(1, "type", count)
  local t = type((...))
  if t == "boolean" then return (...) and "number" or "nil" end
  return t
end

for _, name in ipairs{"foreachvar", "nextvar", "rawgetglobal", "rawsetglobal"} do
  lib[name] = function() error("function `" .. name .. "' is deprecated", 0) end
end
)LUA";

} // namespace lua40
