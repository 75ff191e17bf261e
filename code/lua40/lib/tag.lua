-- 4.0 tags, tag methods and the table of globals (part of the base library).
local lib, env, H = ...
local type, select, error, format, next, rawget, rawset, pairs, ipairs =
  type, select, error, string.format, next, rawget, rawset, pairs, ipairs
-- debug's getmetatable: 5.1's own looks for a __metatable field first, which
-- costs as much again in the dispatchers.
local setmetatable, getmetatable, setmetatable51 = setmetatable, debug.getmetatable, debug.setmetatable
local getinfo, getlocal, getupvalue, registry =
  debug.getinfo, debug.getlocal, debug.getupvalue, debug.getregistry()
local tonumber = tonumber
local checkInt, checkString, checkTable, checkAny, argError =
  H.checkInt, H.checkString, H.checkTable, H.checkAny, H.argError
local iotype = io.type

local methods = {}    -- tag -> {event -> function}
H.methods = methods   -- tracebacks name tag methods by it
local nextTag = 8     -- the io library holds 6 and 7

local function method(tag, event)
  local m = methods[tag]
  return m and m[event]
end

local function tagOf(v)
  local t = type(v)
  if t == "table" then
    local m = getmetatable(v)
    return m and m.tag or 4
  elseif t == "nil" then return 1
  elseif t == "number" then return 2
  elseif t == "string" then return 3
  elseif t == "function" then return 5
  elseif t == "userdata" then
    local kind = iotype(v)
    if kind == "file" then return 6 elseif kind == "closed file" then return 7 end
    return 0
  end
  return v and 2 or 1
end
H.tagOf = tagOf

-- Frames of these functions never show in tracebacks: 4.0 runs tag methods
-- from the virtual machine itself.
local hidden = registry["lua40.hidden"]
local function hide(f)
  hidden[f] = true
  return f
end

---------------------------------------------------------------------------
-- Dispatchers: 5.1 metamethods that run the 4.0 method, chosen as 4.0 does.

local function binaryMethod(a, b, event)
  return method(tagOf(a), event) or method(tagOf(b), event) or method(0, event)
end

local function isNumber(v)
  return type(v) == "number" or (type(v) == "string" and tonumber(v) ~= nil)
end

local arithmetic = {}
for _, event in ipairs{"add", "sub", "mul", "div", "pow"} do
  arithmetic[event] = hide(function(a, b)
    local f = binaryMethod(a, b, event)
    if f == nil then
      if event == "pow" then error("undefined operation", 0) end
      local culprit = isNumber(a) and b or a
      error(format("attempt to perform arithmetic on a %s value", type(culprit)), 0)
    end
    -- 4.0 has converted a numeric string first operand in place by then
    -- (the second one only when the first is a number already, and then it
    -- is not numeric); `^' converts neither.
    if event ~= "pow" and type(a) == "string" then a = tonumber(a) or a end
    return (f(a, b, event))
  end)
end

-- `-a': 4.0 looks at a and at nil.
local unm = hide(function(a)
  local f = method(tagOf(a), "unm") or method(1, "unm") or method(0, "unm")
  if f == nil then error(format("attempt to perform arithmetic on a %s value", type(a)), 0) end
  return (f(a, nil, "unm"))
end)

local function compareError(a, b)
  local ta, tb = type(a), type(b)
  if ta == tb then error(format("attempt to compare two %s values", ta), 0) end
  error(format("attempt to compare %s with %s", ta, tb), 0)
end

-- 5.1 asks __lt only when both operands have the same one: every metatable
-- has this one.
local lessThan = hide(function(a, b)
  local f = binaryMethod(a, b, "lt")
  if f == nil then compareError(a, b) end
  return f(a, b, "lt") ~= nil
end)

-- a < b as 4.0 computes it, whatever the types (for the library's sort);
-- its compare error names the types of x and y.
H.lessThan = hide(function(a, b, x, y)
  local ta, tb = type(a), type(b)
  if ta == tb and (ta == "number" or ta == "string") then return a < b end
  local f = binaryMethod(a, b, "lt")
  if f == nil then compareError(x, y) end
  return f(a, b, "lt") ~= nil
end)

-- A table whose tag has gettable or settable is kept empty, so that 5.1
-- asks its metatable for every key; its contents are in the metatable's
-- `store'.
local shadowGet = hide(function(t, k)
  local mt = getmetatable(t)
  local m = methods[mt.tag]
  local f = m and m.gettable
  if f then return (f(t, k)) end
  if k == nil then error("table index is nil", 0) end
  local v = rawget(mt.store, k)
  if v == nil then
    f = m and m.index
    if f then return (f(t, k)) end
  end
  return v
end)

local shadowSet = hide(function(t, k, v)
  local mt = getmetatable(t)
  local f = method(mt.tag, "settable")
  if f then f(t, k, v) else rawset(mt.store, k, v) end
end)

-- File handles share one metatable for both of their tags.
local function fileMethod(f, event)
  return method(tagOf(f), event)
end
local fileGet = hide(function(f, k)
  local m = fileMethod(f, "gettable")
  if m == nil then error("attempt to index a userdata value", 0) end
  return (m(f, k))
end)
local fileSet = hide(function(f, k, v)
  local m = fileMethod(f, "settable")
  if m == nil then error("attempt to index a userdata value", 0) end
  m(f, k, v)
end)
local fileCall = hide(function(f, ...)
  local m = fileMethod(f, "function")
  if m == nil then error("attempt to call a userdata value", 0) end
  return m(f, ...)
end)

---------------------------------------------------------------------------
-- Metatables. Each has `kind' and `tag':
--   table   shared by the tables of one tag whose tag has no gettable or
--           settable (the default table tag's, 4, once it has methods)
--   shadow  a table's own, with `store' (see shadowGet)
--   value   of a whole type: nil, number, string, function, userdata (0)
--   file    of the io library's files (tags 6 and 7)
-- Each carries the metamethods its tag's methods need, and only those, so
-- that without tag methods 5.1 raises its own errors, which name variables.

local metasOf = {}    -- tag -> set of the metatables that depend on its methods
local function dependsOn(tag, mt)
  local set = metasOf[tag]
  if not set then
    set = setmetatable({}, {__mode = "k"})
    metasOf[tag] = set
  end
  set[mt] = true
end

local function refresh(mt)
  local kind, tag = mt.kind, mt.tag
  local other = kind == "file" and 7 or tag
  local function has(event) return method(tag, event) or method(other, event) end
  if kind == "shadow" then
    mt.__index, mt.__newindex = shadowGet, shadowSet
  elseif kind == "table" then
    mt.__index = method(tag, "index")
  elseif kind == "file" then
    mt.__index = has("gettable") and fileGet or nil
    mt.__newindex = has("settable") and fileSet or nil
  else
    mt.__index, mt.__newindex = method(tag, "gettable"), method(tag, "settable")
  end
  for _, event in ipairs{"add", "sub", "mul", "div"} do
    mt["__" .. event] = (has(event) or method(0, event)) and arithmetic[event] or nil
  end
  mt.__pow = arithmetic.pow -- 4.0 asks for a pow method for every `^'
  mt.__unm = (has("unm") or method(1, "unm") or method(0, "unm")) and unm or nil
  mt.__lt = lessThan
  if kind == "file" then
    mt.__call = has("function") and fileCall or nil
  else
    mt.__call = method(tag, "function")
  end
end

local function refreshAll(tag)
  for mt in next, metasOf[tag] or {} do refresh(mt) end
end

-- The value types' own metatables.
local function valueMeta(sample, tag, mt)
  mt = mt or {}
  mt.kind, mt.tag = "value", tag
  dependsOn(tag, mt)
  refresh(mt)
  setmetatable51(sample, mt)
end
valueMeta(nil, 1)
valueMeta(0, 2)
valueMeta("", 3, getmetatable("")) -- 5.1's string methods go: 4.0 strings have none
valueMeta(print, 5)
valueMeta(H.null, 0)
local fileMeta = getmetatable(io.stdin) -- also the table of 5.1's file methods
H.fileMethods = fileMeta
fileMeta.kind, fileMeta.tag = "file", 6
dependsOn(6, fileMeta)
dependsOn(7, fileMeta)
refresh(fileMeta)

local tableMetas = {} -- tag -> its shared table metatable
local function tableMeta(tag)
  local mt = tableMetas[tag]
  if not mt then
    mt = {kind = "table", tag = tag}
    tableMetas[tag] = mt
    dependsOn(tag, mt)
    refresh(mt)
  end
  return mt
end
local defaultMeta = tableMeta(4)

---------------------------------------------------------------------------
-- Tables whose contents live in a store.

local shadowTags = {} -- tags whose tables are shadowed

local function raw(t)
  local mt = getmetatable(t)
  return mt and mt.store or t
end
H.raw = raw

local function makeShadow(t, tag)
  local store = {}
  for k, v in next, t do store[k] = v end
  for k in next, store do rawset(t, k, nil) end
  local mt = {kind = "shadow", tag = tag, store = store}
  dependsOn(tag, mt)
  refresh(mt)
  setmetatable(t, mt)
  H.shadowing = true
  return mt
end

---------------------------------------------------------------------------
-- The table of globals. Every chunk runs in env, which scripts never see.
-- globals() gives first a table G whose contents are env's own, so that
-- global access costs 5.1 nothing. When another table is installed, or a tag
-- other than nil's has getglobal or setglobal methods, env gives up its
-- contents (to G's store) and forwards every access to the current table.

local G = {}
local globalsMeta = {kind = "shadow", tag = 4, store = env}
dependsOn(4, globalsMeta)
refresh(globalsMeta)
setmetatable(G, globalsMeta)
H.globalsTable = G
local current = G  -- what globals() gives
local direct = true
local envMeta = {}
setmetatable(env, envMeta)

local function rawGlobals() return raw(current) end
H.rawGlobals = rawGlobals

-- 4.0 reads a global raw from the table of globals, then runs the getglobal
-- method of the value's tag; setglobal goes by the tag of the old value and
-- stores nothing itself.
local getglobal = hide(function(_, name)
  local v = rawget(raw(current), name)
  local f = method(tagOf(v), "getglobal")
  if f then return (f(name, v)) end
  return v
end)
local setglobal = hide(function(_, name, v)
  local store = raw(current)
  local old = rawget(store, name)
  local f = method(tagOf(old), "setglobal")
  if f then f(name, old, v) else rawset(store, name, v) end
end)
-- With env holding the globals, 5.1 asks only for absent ones: nil's.
local nilGetglobal = hide(function(_, name) return (method(1, "getglobal")(name, nil)) end)
local nilSetglobal = hide(function(_, name, v) method(1, "setglobal")(name, nil, v) end)

local function updateGlobals()
  local others, any = false, false
  for tag, m in next, methods do
    if m.getglobal or m.setglobal then
      any = true
      others = others or tag ~= 1
    end
  end
  local wantDirect = current == G and not others
  if wantDirect and not direct then
    local store = globalsMeta.store
    for k, v in next, store do rawset(env, k, v) end
    globalsMeta.store = env
    direct = true
  elseif not wantDirect and direct then
    local store = {}
    for k, v in next, env do store[k] = v end
    for k in next, store do rawset(env, k, nil) end
    globalsMeta.store = store
    direct = false
  end
  if direct then
    envMeta.__index = method(1, "getglobal") and nilGetglobal or nil
    envMeta.__newindex = method(1, "setglobal") and nilSetglobal or nil
  elseif not any and getmetatable(current) == nil then
    envMeta.__index, envMeta.__newindex = current, current
  else
    envMeta.__index, envMeta.__newindex = getglobal, setglobal
  end
  registry["lua40.globals"] = rawGlobals() -- for the error report, written in C
end
updateGlobals()

function lib.globals(...)
  local count = select("#", ...)
  local old = current
  if count >= 1 then
    current = checkTable((...), 1, "globals", count)
    updateGlobals()
  end
  return old
end

---------------------------------------------------------------------------
-- Walks every table and function a script can reach, calling visit for each
-- table: from the globals, compiled chunks, tag methods, and the locals of
-- running script functions. Library code and its own tables are not walked.

local function isLibrary(f)
  local info = getinfo(f, "S")
  return info.what == "C" or info.source == "=(lua40)"
end

local function walk(visit)
  local seen, pending = {}, {}
  local function push(v)
    local t = type(v)
    if (t == "table" or t == "function") and not seen[v] then
      seen[v] = true
      pending[#pending + 1] = v
    end
  end
  local function pushContents(t)
    for k, v in next, t do
      push(k)
      push(v)
    end
  end
  push(current)
  push(G)
  pushContents(env)
  pushContents(globalsMeta.store)
  pushContents(registry["lua40.chunkcache"] or {})
  for _, m in next, methods do pushContents(m) end
  for level = 2, 1e9 do
    local info = getinfo(level, "fS")
    if not info then break end
    push(info.func)
    if info.what ~= "C" and info.source ~= "=(lua40)" then
      for i = 1, 1e9 do
        local name, v = getlocal(level, i)
        if not name then break end
        push(v)
      end
    end
  end
  while #pending > 0 do
    local v = pending[#pending]
    pending[#pending] = nil
    if type(v) == "table" then
      visit(v)
      pushContents(raw(v))
    elseif not isLibrary(v) then
      for i = 1, 1e9 do
        local name, x = getupvalue(v, i)
        if not name then break end
        push(x)
      end
    end
  end
end

-- Once the default table tag (or tag 0, for two tables) has methods, every
-- untagged table needs a metatable to reach them: those that exist get it
-- now, newTable gives it to those made from now on.
local tableMode = false
local function enterTableMode()
  if tableMode then return end
  tableMode = true
  H.setTableMeta(defaultMeta)
  walk(function(t)
    if getmetatable(t) == nil then setmetatable(t, defaultMeta) end
  end)
end

-- The chunk helpers that run tag methods (helpers.lua) are no frames of
-- their own either.
hide(H.buildTable)
hide(H.concat)
hide(H.operator)
H.pow = arithmetic.pow
H.binaryMethod = binaryMethod

---------------------------------------------------------------------------
-- The tag functions.

local typeNames = {[0] = "userdata", "nil", "number", "string", "table", "function"}
local events = {"gettable", "settable", "index", "getglobal", "setglobal", "add", "sub", "mul",
  "div", "pow", "unm", "lt", "concat", "gc", "function"}
local isEvent = {}
for _, e in ipairs(events) do isEvent[e] = true end
local arithmeticEvent = {add = 1, sub = 1, mul = 1, div = 1, pow = 1, unm = 1}
local function allowed(tag, event)
  if tag >= 6 or tag == 1 then return true end
  if tag == 0 then
    return event == "gettable" or event == "settable" or arithmeticEvent[event] or event == "lt"
      or event == "concat" or event == "function"
  elseif tag == 2 then
    return event == "gettable" or event == "settable" or event == "pow" or event == "function"
  elseif tag == 3 then
    return event == "gettable" or event == "settable" or event == "function"
  elseif tag == 4 then
    return event == "index" or arithmeticEvent[event] or event == "lt" or event == "concat"
      or event == "function"
  elseif tag == 5 then
    return event ~= "index" and event ~= "getglobal" and event ~= "gc" and event ~= "function"
  end
end

-- The name 4.0 gives a function no call names: the global holding it, else
-- the event of a tag method it is (events in 4.0's order), else nil.
function H.functionName(f)
  for k, v in next, rawGlobals() do
    if v == f and type(k) == "string" then return k, "global" end
  end
  for _, event in ipairs(events) do
    for tag = 0, nextTag - 1 do
      if method(tag, event) == f then return event, "tag method" end
    end
  end
end

function lib.newtag()
  local tag = nextTag
  nextTag = nextTag + 1
  return tag
end

function lib.settag(...)
  local count = select("#", ...)
  local t, tag = ...
  checkTable(t, 1, "settag", count)
  -- 4.0 pushes the table before it reads the tag: without a second
  -- argument, that copy is what it finds there.
  if count < 2 then count, tag = 2, t end
  tag = checkInt(tag, 2, "settag", count)
  if tag < 6 or tag >= nextTag then error(format("tag %d was not created by `newtag'", tag), 0) end
  local mt = getmetatable(t)
  if mt and mt.kind == "shadow" then
    if shadowTags[tag] or mt == globalsMeta then
      metasOf[mt.tag][mt] = nil
      mt.tag = tag
      dependsOn(tag, mt)
      refresh(mt)
      return t
    end
    setmetatable(t, nil)
    for k, v in next, mt.store do rawset(t, k, v) end
  end
  if shadowTags[tag] then makeShadow(t, tag) else setmetatable(t, tableMeta(tag)) end
  if t == current then updateGlobals() end
  return t
end

function lib.tag(...)
  checkAny(1, "tag", select("#", ...))
  return tagOf((...))
end

local function checkTag(tag)
  if tag < 0 or tag >= nextTag then
    error(format("%d is not a valid tag", tag), 0)
  end
end

local function checkEvent(event)
  if event == "le" or event == "gt" or event == "ge" then
    error("event `" .. event .. "' is deprecated", 0)
  end
  if not isEvent[event] then error(format("`%.50s' is not a valid event name", event), 0) end
end

function lib.gettagmethod(...)
  local count = select("#", ...)
  local tag, event = ...
  tag = checkInt(tag, 1, "gettagmethod", count)
  event = H.checkCString(event, 2, "gettagmethod", count)
  checkEvent(event)
  if event == "gc" then error("deprecated use: cannot get the `gc' tag method from Lua", 0) end
  checkTag(tag)
  return method(tag, event)
end

-- Puts a new method where 5.1 will find it.
local byMethodKey, chunkCacheKey = "lua40.bymethod", "lua40.chunkcache" -- lua40_run.h
local function changed(tag, event, f)
  if (event == "gettable" or event == "settable") and tag >= 6 and not shadowTags[tag] then
    shadowTags[tag] = true
    local tagged = {}
    walk(function(t)
      local mt = getmetatable(t)
      if mt and mt.kind == "table" and mt.tag == tag then tagged[#tagged + 1] = t end
    end)
    for _, t in ipairs(tagged) do
      setmetatable(t, nil)
      makeShadow(t, tag)
    end
  end
  if (tag == 4 and event ~= "concat") or (tag == 0 and (arithmeticEvent[event] or event == "lt"))
    or (tag == 1 and event == "unm") then
    enterTableMode()
  end
  if not registry[byMethodKey] and ((event == "lt" and f ~= nil) or
      (event == "pow" and tag == 2 and f ~= H.numberPow)) then
    -- From now on chunks compare and raise to a power through the library
    -- (lua40_translate.h), so that values of two types reach an lt method and
    -- numbers a pow method; compiled script text is made again.
    registry[byMethodKey] = true
    registry[chunkCacheKey] = nil
  end
  if tag == 0 or (tag == 1 and event == "unm") then
    for t in next, metasOf do refreshAll(t) end
  else
    refreshAll(tag)
  end
  updateGlobals()
end

local function setMethod(tag, event, f)
  methods[tag] = methods[tag] or {}
  local old = methods[tag][event]
  methods[tag][event] = f
  changed(tag, event, f)
  return old
end

function lib.settagmethod(...)
  local count = select("#", ...)
  local tag, event, f = ...
  tag = checkInt(tag, 1, "settagmethod", count)
  event = H.checkCString(event, 2, "settagmethod", count)
  if count < 3 or (f ~= nil and type(f) ~= "function") then
    argError(3, "settagmethod", "function or nil expected")
  end
  checkEvent(event)
  if event == "gc" then error("deprecated use: cannot set the `gc' tag method from Lua", 0) end
  checkTag(tag)
  if not allowed(tag, event) then
    local suffix = (tag == 0 or tag == 4) and " with default tag" or ""
    error(format("cannot change `%s' tag method for type `%s'%s", event,
      typeNames[tag], suffix), 0)
  end
  return setMethod(tag, event, f)
end

function lib.copytagmethods(...)
  local count = select("#", ...)
  local to, from = ...
  from = checkInt(from, 2, "copytagmethods", count) -- from the last, as in 4.0's build
  to = checkInt(to, 1, "copytagmethods", count)
  checkTag(to)
  checkTag(from)
  for _, event in ipairs(events) do
    if allowed(to, event) and method(to, event) ~= method(from, event) then
      setMethod(to, event, method(from, event))
    end
  end
  return to
end

-- The math library's pow (math.lua) is the number tag's method.
function H.setNumberPow(f)
  setMethod(2, "pow", f)
end
