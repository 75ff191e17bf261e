-- The 4.0 io library, written in Lua on 5.1's io and os libraries.
local lib, env, H = ...
local type, select, error, format, rawget, rawset = type, select, error, string.format, rawget, rawset
local iotype, open, stdin, stdout, stderr = io.type, io.open, io.stdin, io.stdout, io.stderr
local checkString, checkNumber, checkAny, argError, null =
  H.checkString, H.checkNumber, H.checkAny, H.argError, H.null
local sub, find, match = string.sub, string.find, string.match
-- 5.1's file methods, called as functions: files have no methods in 4.0.
local fileMethods = H.fileMethods
local fread, fwrite, fseek, fclose, fflush =
  fileMethods.read, fileMethods.write, fileMethods.seek, fileMethods.close, fileMethods.flush

lib._ERRORMESSAGE = H.errorWithTraceback
lib._STDIN, lib._STDOUT, lib._STDERR = stdin, stdout, stderr
lib._INPUT, lib._OUTPUT = stdin, stdout
function lib.exit(...)
  local count = select("#", ...)
  if count == 0 then return H.exit() end
  return H.exit(H.checkInt((...), 1, "exit", count))
end

-- nil, message, errno, with 5.1's "name: " prefix taken off the message.
local function failure(msg, errno, name)
  if name and msg and sub(msg, 1, #name + 2) == name .. ": " then msg = sub(msg, #name + 3) end
  return nil, msg, errno
end

-- The open file v is, nil for anything else; a closed file is an error.
local function handleOf(v)
  local kind = iotype(v)
  if kind == "closed file" then error("cannot access a closed file", 0) end
  return kind == "file" and v or nil
end

local function checkHandle(v, n, fname)
  local f = handleOf(v)
  if not f then argError(n, fname, "invalid file handle") end
  return f
end

-- _INPUT and _OUTPUT, read raw from the table of globals.
local function globalFile(name)
  local f = handleOf(rawget(H.rawGlobals(), name))
  if not f then error(format("global variable `%s' is not a file handle", name), 0) end
  return f
end

local function closeUnlessStandard(f)
  if H.isStandardFile(f) then return true end
  H.closedText[f] = H.pointerText(f)
  return fclose(f)
end

local function redirect(fname, global, mode, standard, ...)
  local count = select("#", ...)
  local name = ...
  local f, msg, errno
  if count == 0 and standard then
    closeUnlessStandard(globalFile(global))
    f = standard
  elseif iotype(name) == "file" and standard then
    f = name
  else
    name = checkString(name, 1, fname, count)
    if sub(name, 1, 1) == "|" then return failure("Function not implemented", 38) end
    f, msg, errno = open(name, mode)
    if not f then return failure(msg, errno, name) end
  end
  env[global] = f
  return f
end

-- No tail calls: a traceback shows the function whose argument was wrong.
local function redirector(fname, global, mode, standard)
  return function(...)
    local f, msg, errno = redirect(fname, global, mode, standard, ...)
    if f then return f end
    return nil, msg, errno
  end
end
lib.readfrom = redirector("readfrom", "_INPUT", "r", stdin)
lib.writeto = redirector("writeto", "_OUTPUT", "w", stdout)
lib.appendto = redirector("appendto", "_OUTPUT", "a", nil)

function lib.openfile(...)
  local count = select("#", ...)
  local name, mode = ...
  -- checked from the last, as 4.0's build evaluates the arguments of fopen
  mode = checkString(mode, 2, "openfile", count)
  name = checkString(name, 1, "openfile", count)
  local f, msg, errno = open(name, mode)
  if not f then return failure(msg, errno, name) end
  return f
end

function lib.closefile(...)
  local f = checkHandle((...), 1, "closefile")
  local ok, msg, errno = closeUnlessStandard(f)
  if not ok then return failure(msg, errno) end
  return null
end

-- At the first format that fails, that value and all later ones are left out.
function lib.read(...)
  local count = select("#", ...)
  local first = 1
  local f = handleOf((...))
  if f then first = 2 else f = globalFile("_INPUT") end
  local results = {}
  local clearError = H.clearError
  if first > count then
    clearError(f)
    local line = fread(f, "*l")
    if line ~= nil then return line end
    return
  end
  for n = first, count do
    local fmt = select(n, ...)
    local value
    clearError(f)
    if type(fmt) == "number" or (type(fmt) == "string" and tonumber(fmt)) then
      -- a count 4.0 casts to size_t: below -1 it is too big to allocate
      local k = tonumber(fmt)
      if k <= -1 then error("not enough memory to read a file", 0) end
      k = math.floor(k)
      if k <= 0 then value = "" else value = fread(f, k) end
    else
      fmt = checkString(fmt, n, "read", count)
      if sub(fmt, 1, 1) ~= "*" then error("read patterns are deprecated", 0) end
      local kind = sub(fmt, 2, 2)
      if kind == "n" then value = fread(f, "*n")
      elseif kind == "l" then value = fread(f, "*l")
      elseif kind == "a" then value = fread(f, "*a") or "" -- 4.0 takes what it got, if anything
      elseif kind == "w" then value = H.readWord(f)
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
  local f = handleOf((...))
  if f then first = 2 else f = globalFile("_OUTPUT") end
  -- After a failed write 4.0 writes nothing more, though it still checks
  -- the arguments, and it returns the error number alone.
  local ok, errno = true, nil
  for n = first, count do
    local v = select(n, ...)
    if type(v) == "number" then
      v = format("%.16g", v)
    else
      v = checkString(v, n, "write", count)
    end
    if ok then
      local _
      ok, _, errno = fwrite(f, v)
    end
  end
  if not ok then return errno end
  return null
end

function lib.seek(...)
  local count = select("#", ...)
  local f, whence, offset = ...
  f = checkHandle(f, 1, "seek")
  if count >= 2 then whence = H.checkCString(whence, 2, "seek", count) else whence = "cur" end
  if count >= 3 then offset = checkNumber(offset, 3, "seek", count) else offset = 0 end
  if whence ~= "set" and whence ~= "cur" and whence ~= "end" then
    argError(2, "seek", "invalid mode")
  end
  local pos, msg, errno = fseek(f, whence, offset)
  if not pos then return failure(msg, errno) end
  return pos
end

function lib.flush(...)
  local count = select("#", ...)
  if count >= 1 then
    fflush(checkHandle((...), 1, "flush"))
  else
    io.flush() -- 4.0 flushes every open output
    fflush(stderr)
    local out = rawget(H.rawGlobals(), "_OUTPUT")
    if iotype(out) == "file" then fflush(out) end
  end
  return null
end

local function fileCall(fname, fn, nargs)
  return function(...)
    local count = select("#", ...)
    local a, b = ...
    if nargs == 2 then b = checkString(b, 2, fname, count) end -- first, as in openfile
    a = checkString(a, 1, fname, count)
    local ok, msg, errno = fn(a, b)
    if not ok then return failure(msg, errno, a) end
    return null
  end
end
lib.remove = fileCall("remove", os.remove, 1)
lib.rename = fileCall("rename", os.rename, 2)

function lib.tmpname() return H.tmpname() end

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
  local text = H.strftime(fmt)
  if text == nil then error("invalid `date' format", 0) end
  return text
end

function lib.setlocale(...)
  local count = select("#", ...)
  local loc, cat = ...
  if count >= 2 then cat = checkString(cat, 2, "setlocale", count) else cat = "all" end
  local cats = {all = 1, collate = 1, ctype = 1, monetary = 1, numeric = 1, time = 1}
  if not cats[cat] then argError(2, "setlocale", "invalid option") end
  return os.setlocale(checkString(loc, 1, "setlocale", count), cat)
end

function lib.debug()
  while true do
    fwrite(stderr, "lua_debug> ")
    local line = fread(stdin, "*l")
    if line == nil or line == "cont" then return end
    H.run(line, line)
  end
end
