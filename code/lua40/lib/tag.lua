-- 4.0 tags and tag methods on 5.1 metatables (part of the base library).
local lib, env, H = ...
local type, select, error, format, setmetatable, getmetatable =
  type, select, error, string.format, setmetatable, getmetatable
local checkInt, checkString, checkTable, checkAny, argError =
  H.checkInt, H.checkString, H.checkTable, H.checkAny, H.argError
local iotype, null = io.type, H.null

local metas = {}      -- tag -> metatable, for tags made by newtag
local tagOfMeta = {}  -- metatable -> tag
local methods = {}    -- tag -> {event -> function}
H.methods = methods   -- tracebacks name tag methods by it
local nextTag = 8     -- the io library holds 6 and 7
local envMeta = {}
setmetatable(env, envMeta)

local function tagOf(v)
  local t = type(v)
  if t == "table" then
    local m = getmetatable(v)
    return m and tagOfMeta[m] or 4
  elseif t == "userdata" then
    local kind = iotype(v)
    if kind == "file" then return 6 elseif kind == "closed file" then return 7 end
    return 0
  elseif t == "nil" then return 1
  elseif t == "number" then return 2
  elseif t == "string" then return 3
  elseif t == "function" then return 5
  end
  return v and 2 or 1
end
H.tagOf = tagOf

local typeNames = {[0] = "userdata", "nil", "number", "string", "table", "function"}
local allEvents = {gettable = 1, settable = 1, index = 1, getglobal = 1, setglobal = 1,
  add = 1, sub = 1, mul = 1, div = 1, pow = 1, unm = 1, lt = 1, concat = 1, gc = 1,
  ["function"] = 1}
local arithmetic = {add = 1, sub = 1, mul = 1, div = 1, pow = 1, unm = 1}
local function allowed(tag, event)
  if tag >= 6 or tag == 1 then return true end
  if tag == 0 then
    return event == "gettable" or event == "settable" or arithmetic[event] or event == "lt"
      or event == "concat" or event == "function" or event == "gc"
  elseif tag == 2 then
    return event == "gettable" or event == "settable" or event == "pow" or event == "function"
  elseif tag == 3 then
    return event == "gettable" or event == "settable" or event == "function"
  elseif tag == 4 then
    return event == "index" or arithmetic[event] or event == "lt" or event == "concat"
      or event == "function" or event == "gc"
  elseif tag == 5 then
    return event ~= "index" and event ~= "getglobal" and event ~= "gc" and event ~= "function"
  end
end

local function binary(f, event)
  return function(a, b) return f(a, b, event) end
end

-- Puts the method where 5.1 looks for it.
local function apply(tag, event, f)
  if tag == 1 then
    if event == "getglobal" then
      envMeta.__index = f and function(_, name) return f(name, nil) end
    elseif event == "setglobal" then
      envMeta.__newindex = f and function(_, name, v) f(name, nil, v) end
    end
    return
  end
  local m = metas[tag]
  if not m then return end
  if event == "index" or event == "gettable" then m.__index = f
  elseif event == "settable" then m.__newindex = f
  elseif event == "unm" then m.__unm = f and function(a) return f(a, nil, "unm") end
  elseif event == "lt" then
    return -- every tag's metatable carries the shared dispatchers below
  elseif event == "function" then m.__call = f
  elseif arithmetic[event] or event == "concat" then m["__" .. event] = f and binary(f, event)
  end
end

-- 5.1 compares through __lt only when both operands have the same one; 4.0
-- takes the method of the first operand's tag, else the second's. One
-- shared dispatcher in every tag's metatable gives 4.0's choice.
local function lessThan(a, b)
  local f = methods[tagOf(a)] and methods[tagOf(a)].lt
  f = f or methods[tagOf(b)] and methods[tagOf(b)].lt
  f = f or methods[0] and methods[0].lt
  if not f then
    local ta, tb = type(a), type(b)
    if ta == tb then error(format("attempt to compare two %s values", ta), 0) end
    error(format("attempt to compare %s with %s", ta, tb), 0)
  end
  return f(a, b, "lt") ~= nil
end
local function lessEqual(a, b) return not lessThan(b, a) end

function lib.newtag()
  local tag = nextTag
  nextTag = nextTag + 1
  local m = {__lt = lessThan, __le = lessEqual}
  metas[tag] = m
  tagOfMeta[m] = tag
  return tag
end

function lib.settag(...)
  local count = select("#", ...)
  local t, tag = ...
  checkTable(t, 1, "settag", count)
  tag = checkInt(tag, 2, "settag", count)
  if tag == 4 then return setmetatable(t, nil) end
  if not metas[tag] then error(format("tag %d was not created by `newtag'", tag), 0) end
  return setmetatable(t, metas[tag])
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
  if not allEvents[event] then error(format("`%s' is not a valid event name", event), 0) end
end

function lib.gettagmethod(...)
  local count = select("#", ...)
  local tag, event = ...
  tag = checkInt(tag, 1, "gettagmethod", count)
  event = checkString(event, 2, "gettagmethod", count)
  checkEvent(event)
  if event == "gc" then error("deprecated use: cannot get the `gc' tag method from Lua", 0) end
  checkTag(tag)
  return methods[tag] and methods[tag][event]
end

function lib.settagmethod(...)
  local count = select("#", ...)
  local tag, event, f = ...
  tag = checkInt(tag, 1, "settagmethod", count)
  event = checkString(event, 2, "settagmethod", count)
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
  methods[tag] = methods[tag] or {}
  local old = methods[tag][event]
  methods[tag][event] = f
  apply(tag, event, f)
  return old
end

function lib.copytagmethods(...)
  local count = select("#", ...)
  local to, from = ...
  to = checkInt(to, 1, "copytagmethods", count)
  from = checkInt(from, 2, "copytagmethods", count)
  checkTag(to)
  checkTag(from)
  for event, f in pairs(methods[from] or {}) do
    if allowed(to, event) then
      methods[to] = methods[to] or {}
      methods[to][event] = f
      apply(to, event, f)
    end
  end
  return to
end
