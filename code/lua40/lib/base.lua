-- The 4.0 base library, written in Lua on 5.1's library.
local lib, env, H = ...
local type, select, error, format, rawget, rawset, next = type, select, error, string.format, rawget, rawset, next
local tostring51, tonumber, unpack, xpcall, write = tostring, tonumber, unpack, xpcall, io.write
local checkString, checkNumber, checkInt, checkTable, checkAny =
  H.checkString, H.checkNumber, H.checkInt, H.checkTable, H.checkAny
local checkFunction, getn, argError, pack = H.checkFunction, H.getn, H.argError, H.pack
local null, silent, concat, find, byte = H.null, H.silent, table.concat, string.find, string.byte
local metatable = debug.getmetatable

-- Contents of a table as the library reads and writes them raw: a table
-- whose tag has gettable or settable keeps them elsewhere (see tag.lua).
local function raw(t)
  if t == H.globalsTable or H.shadowing then return H.raw(t) end
  return t
end

lib._VERSION = "Lua 4.0.1"
lib._ALERT = H.alert
lib._ERRORMESSAGE = H.errorWithLocation

function lib.assert(...)
  local count = select("#", ...)
  local v, m = ...
  checkAny(1, "assert", count)
  if v == nil then
    if count >= 2 then m = checkString(m, 2, "assert", count) else m = "" end
    m = "assertion failed!  " .. string.sub(m, 1, 90) -- 4.0 formats it with %.90s
    H.raised = m
    error(m, 0)
  end
end

function lib.error(...)
  local count = select("#", ...)
  local msg = ...
  if count == 0 then error(silent, 0) end -- an explicit nil is a bad argument
  msg = checkString(msg, 1, "error", count)
  H.raised = msg -- the script's own words: the handler leaves them as they are
  error(msg, 0)
end

function lib.call(...)
  local count = select("#", ...)
  local f, args, mode, handler = ...
  if count >= 3 then mode = checkString(mode, 3, "call", count) else mode = "" end
  checkTable(args, 2, "call", count)
  local n = getn(args)
  local saved
  if count >= 4 then
    saved = env._ERRORMESSAGE
    env._ERRORMESSAGE = handler
  end
  local values = raw(args)
  local results = pack(xpcall(function() return f(unpack(values, 1, n)) end, H.reportError))
  if count >= 4 then env._ERRORMESSAGE = saved end
  if results[1] then
    -- 4.0 refuses this option only once the call has run
    if find(mode, "p", 1, true) then error("deprecated option `p' in `call'", 0) end
    return unpack(results, 2, results.n)
  end
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
  if byte(s, 1) == 27 then error("`dostring' cannot run pre-compiled code", 0) end
  return H.run(s, name)
end

function lib.foreach(...)
  local count = select("#", ...)
  local t, f = ...
  checkTable(t, 1, "foreach", count)
  checkFunction(f, 2, "foreach", count)
  t = raw(t)
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
    local r = f(i, rawget(raw(t), i))
    if r ~= nil then return r end
  end
end

function lib.gcinfo()
  local kb = math.floor(collectgarbage("count"))
  return kb, 2 * kb
end

function lib.getglobal(...)
  local count = select("#", ...)
  return env[H.checkCString((...), 1, "getglobal", count)]
end

function lib.setglobal(...)
  local count = select("#", ...)
  local name, v = ...
  checkAny(2, "setglobal", count)
  env[H.checkCString(name, 1, "setglobal", count)] = v
end

function lib.getn(...)
  return getn(checkTable((...), 1, "getn", select("#", ...)))
end

function lib.next(...)
  local count = select("#", ...)
  local t, k = ...
  checkTable(t, 1, "next", count)
  local ok, k2, v = pcall(next, raw(t), k)
  if not ok then error("invalid key for `next'", 0) end
  if k2 == nil then return nil end
  return k2, v
end

function lib.print(...)
  local count = select("#", ...)
  local parts = {}
  local tostring40 = env.tostring
  if type(tostring40) ~= "function" then
    -- 4.0 calls it from C, where a value that cannot be called has no name
    local mt = metatable(tostring40)
    if not (mt and mt.__call) then
      error(format("attempt to call a %s value", type(tostring40)), 0)
    end
  end
  for i = 1, count do
    local s = tostring40((select(i, ...)))
    if type(s) == "number" then
      s = format("%.16g", s)
    elseif type(s) ~= "string" then
      error("`tostring' must return a string to `print'", 0)
    end
    parts[i] = H.cString(s) -- 4.0 writes each with fputs
  end
  write(concat(parts, "\t"), "\n")
end

local function rawgetFunction()
  return function(...)
    local t, k = ...
    if k ~= nil then -- the way of tag methods: a table and a key
      local mt = metatable(t)
      if mt == nil then return rawget(t, k) end -- a table: the other types have one
      local store = mt.store
      if store then return rawget(store, k) end
      if mt.kind == "table" then return rawget(t, k) end
    end
    local count = select("#", ...)
    checkTable(t, 1, "rawget", count)
    checkAny(2, "rawget", count)
    if k == nil then error("table index is nil", 0) end -- 5.1 would answer nil
    return rawget(raw(t), k)
  end
end

local function rawsetFunction()
  return function(...)
    local t, k, v = ...
    if k == k and k ~= nil and select("#", ...) >= 3 then -- not NaN nor nil
      local mt = metatable(t)
      if mt == nil or mt.kind == "table" then
        rawset(t, k, v)
        return t
      elseif mt.store then
        rawset(mt.store, k, v)
        return t
      end
    end
    local count = select("#", ...)
    checkTable(t, 1, "rawset", count)
    checkAny(2, "rawset", count)
    checkAny(3, "rawset", count)
    -- 4.0 stores a NaN key where no read finds it again; 5.1 refuses it.
    if k ~= k then return t end
    rawset(raw(t), k, v)
    return t
  end
end
-- 4.0 registers these under two names each, as two functions that are not
-- equal and that argument errors name apart.
lib.rawget, lib.rawgettable = rawgetFunction(), rawgetFunction()
lib.rawset, lib.rawsettable = rawsetFunction(), rawsetFunction()

-- 4.0's quicksort (lbaselib.c's auxsort), over t[1..getn(t)] raw: nils
-- in that range are compared like any value, and ties end up as in 4.0.
-- lt(a, b, x, y) compares a with b; a compare error names the types of x
-- and y, the two values on the top of 4.0's stack at that point.
local function auxsort(t, l, u, lt)
  while l < u do
    -- sort elements a[l], a[(l+u)/2] and a[u]
    local al, au = rawget(t, l), rawget(t, u)
    if lt(au, al, al, au) then
      rawset(t, l, au)
      rawset(t, u, al)
    end
    if u - l == 1 then break end
    local i = math.floor((l + u) / 2)
    local ai
    ai, al = rawget(t, i), rawget(t, l)
    if lt(ai, al, ai, al) then
      rawset(t, i, al)
      rawset(t, l, ai)
    else
      au = rawget(t, u)
      if lt(au, ai, ai, au) then
        rawset(t, i, au)
        rawset(t, u, ai)
      end
    end
    if u - l == 2 then break end
    local p = rawget(t, i) -- the pivot goes to u - 1
    rawset(t, i, rawget(t, u - 1))
    rawset(t, u - 1, p)
    local j
    i, j = l, u - 1
    while true do -- invariant: a[l..i] <= P <= a[j..u]
      i = i + 1
      ai = rawget(t, i)
      while lt(ai, p, p, ai) do
        if i > u then error("invalid order function for sorting", 0) end
        i = i + 1
        ai = rawget(t, i)
      end
      j = j - 1
      local aj = rawget(t, j)
      while lt(p, aj, ai, aj) do
        if j < l then error("invalid order function for sorting", 0) end
        j = j - 1
        aj = rawget(t, j)
      end
      if j < i then break end
      rawset(t, i, aj)
      rawset(t, j, ai)
    end
    local a = rawget(t, u - 1)
    rawset(t, u - 1, rawget(t, i))
    rawset(t, i, a)
    -- a[l..i-1] <= a[i] == P <= a[i+1..u]; sort the smaller half first
    if i - l < u - i then
      j, i, l = l, i - 1, i + 1
    else
      j, i, u = i + 1, u, i - 1
    end
    auxsort(t, j, i, lt)
  end
end

function lib.sort(...)
  local count = select("#", ...)
  local t, comp = ...
  checkTable(t, 1, "sort", count)
  local n = getn(t)
  if count >= 2 then checkFunction(comp, 2, "sort", count) end
  local lt = H.lessThan
  if comp then lt = function(a, b) return comp(a, b) ~= nil end end
  auxsort(raw(t), 1, n, lt)
end

function lib.tinsert(...)
  local count = select("#", ...)
  local t = checkTable((...), 1, "tinsert", count)
  local n = getn(t)
  t = raw(t)
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
  t = raw(t)
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
  return H.strtoul(e, base)
end

-- The address a file had before it was closed (5.1 forgets it; 4.0 still shows it).
local closedText = setmetatable({}, {__mode = "k"})
H.closedText = closedText

function lib.tostring(...)
  local count = select("#", ...)
  local v = ...
  checkAny(1, "tostring", count)
  local t = type(v)
  if t == "number" then return format("%.16g", v) end
  if t == "string" then return v end
  if t == "nil" then return "nil" end
  if t == "userdata" then
    return format("userdata(%d): %s", H.tagOf(v), closedText[v] or H.pointerText(v))
  end
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
