-- The 4.0 base library, written in Lua on 5.1's library.
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
