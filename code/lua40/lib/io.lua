-- The 4.0 io library, written in Lua on 5.1's io and os libraries.
local lib, env, H = ...
local type, select, error, format, rawget, rawset = type, select, error, string.format, rawget, rawset
local iotype, open, stdin, stdout, stderr = io.type, io.open, io.stdin, io.stdout, io.stderr
local checkString, checkNumber, checkAny, argError, null =
  H.checkString, H.checkNumber, H.checkAny, H.argError, H.null

lib._ERRORMESSAGE = H.errorWithTraceback
lib._STDIN, lib._STDOUT, lib._STDERR = stdin, stdout, stderr
lib._INPUT, lib._OUTPUT = stdin, stdout
function lib.exit(...)
  local count = select("#", ...)
  if count == 0 then return H.exit() end
  return H.exit(H.checkInt((...), 1, "exit", count))
end

local function isHandle(v) return iotype(v) ~= nil end

-- nil, message, errno, with 5.1's "name: " prefix taken off the message.
local function failure(msg, errno, name)
  if name and msg and msg:sub(1, #name + 2) == name .. ": " then msg = msg:sub(#name + 3) end
  return nil, msg, errno
end

local function handleOf(v, fname, n)
  local kind = iotype(v)
  if kind == "closed file" then error("cannot access a closed file", 0) end
  return kind == "file" and v or nil
end

local function globalFile(name)
  local f = rawget(env, name)
  local kind = iotype(f)
  if kind == "closed file" then error("cannot access a closed file", 0) end
  if kind ~= "file" then error(format("global %s is not a valid file handle", name), 0) end
  return f
end

local function closeUnlessStandard(f)
  if iotype(f) == "file" and not H.isStandardFile(f) then f:close() end
end

local function redirect(fname, global, mode, standard, ...)
  local count = select("#", ...)
  local name = ...
  if count == 0 then
    closeUnlessStandard(rawget(env, global))
    rawset(env, global, standard)
    return standard
  end
  local f, msg, errno
  if isHandle(name) then
    f = name
  else
    name = checkString(name, 1, fname, count)
    if name:sub(1, 1) == "|" then return failure("Function not implemented", 38) end
    f, msg, errno = open(name, mode)
    if not f then return failure(msg, errno, name) end
  end
  rawset(env, global, f)
  return f
end

function lib.readfrom(...) return redirect("readfrom", "_INPUT", "r", stdin, ...) end
function lib.writeto(...) return redirect("writeto", "_OUTPUT", "w", stdout, ...) end
function lib.appendto(...) return redirect("appendto", "_OUTPUT", "a", stdout, ...) end

function lib.openfile(...)
  local count = select("#", ...)
  local name, mode = ...
  name = checkString(name, 1, "openfile", count)
  mode = checkString(mode, 2, "openfile", count)
  local f, msg, errno = open(name, mode)
  if not f then return failure(msg, errno, name) end
  return f
end

function lib.closefile(...)
  local count = select("#", ...)
  local f = ...
  if not isHandle(f) then argError(1, "closefile", "handle expected") end
  if iotype(f) == "closed file" then error("cannot access a closed file", 0) end
  if H.isStandardFile(f) then return null end
  local ok, msg, errno = f:close()
  if not ok then return failure(msg, errno) end
  return null
end

local function readWord(f)
  local c = f:read(1)
  while c and c:find("^%s") do c = f:read(1) end
  if not c then return nil end
  local parts = {}
  while c and not c:find("^%s") do
    parts[#parts + 1] = c
    c = f:read(1)
  end
  if c and not H.isStandardFile(f) then f:seek("cur", -1) end
  return table.concat(parts)
end

-- At the first format that fails, that value and all later ones are left out.
function lib.read(...)
  local count = select("#", ...)
  local first = 1
  local f = handleOf((...), "read", 1)
  if f then first = 2 else f = globalFile("_INPUT") end
  local results = {}
  if first > count then
    local line = f:read("*l")
    if line ~= nil then return line end
    return
  end
  for n = first, count do
    local fmt = select(n, ...)
    local value
    if type(fmt) == "number" or (type(fmt) == "string" and tonumber(fmt)) then
      local k = math.floor(tonumber(fmt))
      if k == 0 then value = "" else value = f:read(k) end
    else
      fmt = checkString(fmt, n, "read", count)
      if fmt:sub(1, 1) ~= "*" then error("read patterns are deprecated", 0) end
      local kind = fmt:sub(2, 2)
      if kind == "n" then value = f:read("*n")
      elseif kind == "l" then value = f:read("*l")
      elseif kind == "a" then value = f:read("*a")
      elseif kind == "w" then value = readWord(f)
      else argError(n, "read", "invalid format") end
    end
    if value == nil then break end
    results[#results + 1] = value
  end
  return unpack(results)
end

function lib.write(...)
  local count = select("#", ...)
  local first = 1
  local f = handleOf((...), "write", 1)
  if f then first = 2 else f = globalFile("_OUTPUT") end
  for n = first, count do
    local v = select(n, ...)
    if type(v) == "number" then
      f:write(format("%.16g", v))
    else
      f:write(checkString(v, n, "write", count))
    end
  end
  return null
end

function lib.seek(...)
  local count = select("#", ...)
  local f, whence, offset = ...
  if not handleOf(f, "seek", 1) then argError(1, "seek", "handle expected") end
  if count >= 2 then whence = checkString(whence, 2, "seek", count) else whence = "cur" end
  if count >= 3 then offset = checkNumber(offset, 3, "seek", count) else offset = 0 end
  if whence ~= "set" and whence ~= "cur" and whence ~= "end" then
    argError(2, "seek", "invalid option `" .. whence .. "'")
  end
  local pos, msg, errno = f:seek(whence, offset)
  if not pos then return failure(msg, errno) end
  return pos
end

function lib.flush(...)
  local count = select("#", ...)
  if count >= 1 then
    local f = handleOf((...), "flush", 1)
    if not f then argError(1, "flush", "handle expected") end
    f:flush()
  else
    stdout:flush()
    stderr:flush()
    local out = rawget(env, "_OUTPUT")
    if iotype(out) == "file" then out:flush() end
  end
  return null
end

local function fileCall(fname, fn, nargs)
  return function(...)
    local count = select("#", ...)
    local a, b = ...
    a = checkString(a, 1, fname, count)
    if nargs == 2 then b = checkString(b, 2, fname, count) end
    local ok, msg, errno = fn(a, b)
    if not ok then return failure(msg, errno, a) end
    return null
  end
end
lib.remove = fileCall("remove", os.remove, 1)
lib.rename = fileCall("rename", os.rename, 2)

function lib.tmpname()
  local name = os.tmpname()
  os.remove(name)
  return name
end

function lib.getenv(...)
  return os.getenv(checkString((...), 1, "getenv", select("#", ...)))
end

function lib.execute(...)
  return os.execute(checkString((...), 1, "execute", select("#", ...)))
end

function lib.clock() return os.clock() end

function lib.date(...)
  local count = select("#", ...)
  local fmt = ...
  if count >= 1 then fmt = checkString(fmt, 1, "date", count) else fmt = "%c" end
  -- 4.0 hands the format to strftime as it is: `*t' and `!' are plain text.
  local lead = fmt:match("^[!*]+") or ""
  local text = lead .. (#fmt > #lead and os.date("\001" .. fmt:sub(#lead + 1)):sub(2) or "")
  if text == "" then error("invalid `date' format", 0) end
  return text
end

function lib.setlocale(...)
  local count = select("#", ...)
  local loc, cat = ...
  if count >= 1 then loc = checkString(loc, 1, "setlocale", count) end
  if count >= 2 then cat = checkString(cat, 2, "setlocale", count) else cat = "all" end
  local cats = {all = 1, collate = 1, ctype = 1, monetary = 1, numeric = 1, time = 1}
  if not cats[cat] then argError(2, "setlocale", "invalid option `" .. cat .. "'") end
  return os.setlocale(loc, cat)
end

function lib.debug()
  while true do
    stderr:write("lua_debug> ")
    local line = stdin:read("*l")
    if line == nil or line == "cont" then return end
    H.run(line, line)
  end
end
