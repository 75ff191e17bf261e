-- The 4.0 string library, written in Lua on 5.1's string library.
local lib, env, H = ...
local type, select, error, format, tostring51 = type, select, error, string.format, tostring
local sub, find, gsub, byte, char, rep, lower, upper =
  string.sub, string.find, string.gsub, string.byte, string.char, string.rep, string.lower, string.upper
local concat, floor, match = table.concat, math.floor, string.match
local checkString, checkInt, checkNumber, argError, toInt =
  H.checkString, H.checkInt, H.checkNumber, H.argError, H.toInt
local checkLong = H.checkLong

local function posrelat(pos, len)
  if pos >= 0 then return pos end
  return len + pos + 1
end

function lib.strlen(...)
  return #checkString((...), 1, "strlen", select("#", ...))
end

function lib.strsub(...)
  local count = select("#", ...)
  local s, i, j = ...
  s = checkString(s, 1, "strsub", count)
  i = checkLong(i, 2, "strsub", count)
  if count >= 3 then j = checkLong(j, 3, "strsub", count) else j = -1 end
  return sub(s, i, j)
end

function lib.strlower(...) return lower(checkString((...), 1, "strlower", select("#", ...))) end
function lib.strupper(...) return upper(checkString((...), 1, "strupper", select("#", ...))) end

function lib.strchar(...)
  local count = select("#", ...)
  local codes = {}
  for n = 1, count do
    local c = checkInt((select(n, ...)), n, "strchar", count)
    if c < 0 or c > 255 then argError(n, "strchar", "invalid value") end
    codes[n] = c
  end
  return char(unpack(codes, 1, count))
end

function lib.strrep(...)
  local count = select("#", ...)
  local s, n = ...
  s = checkString(s, 1, "strrep", count)
  n = checkInt(n, 2, "strrep", count)
  if n <= 0 then return "" end
  return rep(s, n)
end

local function strbyteFunction()
  return function(...)
    local count = select("#", ...)
    local s, i = ...
    s = checkString(s, 1, "strbyte", count)
    if count >= 2 then i = checkLong(i, 2, "strbyte", count) else i = 1 end
    i = posrelat(i, #s)
    if i < 1 or i > #s then argError(2, "strbyte", "out of range") end
    return byte(s, i)
  end
end
-- two functions, as 4.0 registers them (see rawget)
lib.strbyte, lib.ascii = strbyteFunction(), strbyteFunction()

-- 4.0 reads `%f' as a plain `f', which 5.1 would take for a frontier. A
-- position capture `()' holds an empty string in 4.0, which a back-reference
-- to it matches anywhere; in 5.1 such a back-reference never matches, so it
-- is left out (a quantifier sign after it starts an item of its own).
local quantifiers = {["*"] = true, ["+"] = true, ["-"] = true, ["?"] = true}
local function rewrite(p)
  if not find(p, "%f", 1, true) and not find(p, "()", 1, true) then return p end
  local out, i, len = {}, 1, #p
  local count, positions = 0, {}
  while i <= len do
    local c = sub(p, i, i)
    if c == "%" then
      local d = sub(p, i + 1, i + 1)
      if d == "f" then
        out[#out + 1] = "f"
        i = i + 2
      elseif d == "b" then
        out[#out + 1] = sub(p, i, i + 3)
        i = i + 4
      elseif positions[tonumber(d)] then
        i = i + 2
        if quantifiers[sub(p, i, i)] then
          out[#out + 1] = "%" .. sub(p, i, i)
          i = i + 1
        end
      else
        out[#out + 1] = c .. d
        i = i + 2
      end
    elseif c == "[" then
      -- a set is copied whole: `%f' in it means `f' in both
      local j = i + 1
      if sub(p, j, j) == "^" then j = j + 1 end
      repeat
        if sub(p, j, j) == "%" then j = j + 1 end
        j = j + 1
      until j > len or sub(p, j, j) == "]"
      out[#out + 1] = sub(p, i, j)
      i = j + 1
    else
      if c == "(" then
        count = count + 1
        if sub(p, i + 1, i + 1) == ")" then positions[count] = true end
      end
      out[#out + 1] = c
      i = i + 1
    end
  end
  return concat(out)
end

-- Scripts use a few patterns over and over: each is rewritten once (up to a
-- bound, past which the remembered ones are forgotten).
local rewritten, remembered = {}, 0
local function pattern40(p)
  local q = rewritten[p]
  if q then return q end
  q = rewrite(p)
  if remembered >= 256 then rewritten, remembered = {}, 0 end
  rewritten[p] = q
  remembered = remembered + 1
  return q
end

-- Position captures `()' give numbers in 5.1; in 4.0 they are empty strings.
-- `first' is the first value that is a capture.
local function capturesFrom(first, ...)
  local n = select("#", ...)
  local values = {...}
  for k = first, n do
    if type(values[k]) == "number" then values[k] = "" end
  end
  return unpack(values, 1, n)
end
local function emptyCaptures(...) return capturesFrom(1, ...) end

-- The captures of pattern p: how many, and how many no `)' closes. Asked
-- for them (open set), also the numbers of those left open and where a final
-- `$' anchor stands.
local function captureCount(p, open)
  local n, i, len, depth, anchor = 0, 1, #p, 0, nil
  while i <= len do
    local c = sub(p, i, i)
    if c == "%" then
      -- %bxy takes two delimiters, which are no pattern syntax
      if sub(p, i + 1, i + 1) == "b" then i = i + 4 else i = i + 2 end
      if i > len + 1 then return n, 0 end -- cut short: the pattern is malformed
    elseif c == "[" then
      i = i + 1
      if sub(p, i, i) == "^" then i = i + 1 end
      repeat
        if sub(p, i, i) == "%" then i = i + 1 end
        i = i + 1
      until i > len or sub(p, i, i) == "]"
      i = i + 1
    else
      if c == "(" then
        n = n + 1
        depth = depth + 1
        if open then open[depth] = n end
      elseif c == ")" and depth > 0 then
        depth = depth - 1
      elseif c == "$" and i == len then
        anchor = i
      end
      i = i + 1
    end
  end
  return n, depth, anchor
end

function lib.strfind(...)
  local count = select("#", ...)
  local s, p, init = ...
  s = checkString(s, 1, "strfind", count)
  p = checkString(p, 2, "strfind", count)
  if count >= 3 then init = checkLong(init, 3, "strfind", count) else init = 1 end
  init = posrelat(init, #s)
  if init < 1 or init > #s + 1 then argError(3, "strfind", "out of range") end
  if count >= 4 or not find(p, "[%^%$%*%+%?%.%(%[%%%-]") then
    return find(s, p, init, true)
  end
  return capturesFrom(3, find(s, pattern40(p), init))
end

function lib.gsub(...)
  local count = select("#", ...)
  local s, p, repl, max = ...
  s = checkString(s, 1, "gsub", count)
  p = checkString(p, 2, "gsub", count)
  if count >= 4 then max = checkInt(max, 4, "gsub", count) else max = #s + 1 end
  local captures, unclosed = captureCount(p)
  local f
  if type(repl) == "number" then repl = format("%.16g", repl) end
  if type(repl) == "string" and not find(repl, "%%%d") then
    -- %x inserts x, in 5.1 as in 4.0; 5.1 is handed the text itself, so
    -- that it pushes no captures, which 4.0 reads only for %1..%9.
    f = repl
  elseif type(repl) == "string" then
    -- %1..%9 insert captures; %0 or a missing capture fail.
    local template = repl
    -- A match may leave a capture open; 4.0 refuses it only when the
    -- replacement names it, 5.1 at every match. Closed at the end of the
    -- pattern, where it changes nothing of what matches, it is 5.1's too.
    local unfinished
    if unclosed > 0 then
      unfinished = {}
      local open = {}
      local _, _, anchor = captureCount(p, open)
      for k = 1, unclosed do unfinished[open[k]] = true end
      local closing = rep(")", unclosed)
      if anchor then p = sub(p, 1, anchor - 1) .. closing .. "$" else p = p .. closing end
    end
    f = function(...)
      local values = {emptyCaptures(...)}
      return (gsub(template, "%%(.?)", function(c)
        local d = tonumber(c)
        if d == nil then return c end
        if d == 0 or d > captures or (unfinished and unfinished[d]) then error("invalid capture index", 0) end
        return values[d]
      end))
    end
  elseif type(repl) == "function" then
    f = function(...)
      local r
      if captures == 0 then r = repl() else r = repl(emptyCaptures(...)) end
      if type(r) == "number" then return format("%.16g", r) end
      if type(r) == "string" then return r end
      return ""
    end
  else
    argError(3, "gsub", "string or function expected")
  end
  if max < 0 then max = 0 end
  return gsub(s, pattern40(p), f, max)
end

-- %q of 4.0: escapes ", \, newline and NUL only.
local function quoted(s)
  return '"' .. gsub(s, '[\\"\n%z]', function(c)
    if c == "\0" then return "\\000" end
    return "\\" .. c
  end) .. '"'
end

local function toUnsigned(x)
  if x ~= x or x >= 2^63 or x < -2^63 then return 0 end
  local v = x >= 0 and floor(x) or -floor(-x)
  return v % 4294967296
end

function lib.format(...)
  local count = select("#", ...)
  local fmt = H.checkCString((...), 1, "format", count)
  local out, arg, i, len = {}, 1, 1, #fmt
  while i <= len do
    local c = sub(fmt, i, i)
    if c ~= "%" then
      local j = find(fmt, "%", i, true) or len + 1
      out[#out + 1] = sub(fmt, i, j - 1)
      i = j
    elseif sub(fmt, i + 1, i + 1) == "%" then
      out[#out + 1] = "%"
      i = i + 2
    else
      i = i + 1
      local d = sub(fmt, i, i + 1)
      if find(d, "^%d%$") then
        arg = tonumber(sub(d, 1, 1))
        i = i + 2
      end
      arg = arg + 1
      local flags, width, dot, precision = match(fmt, "^([-+ #0]*)(%d*)(%.?)(%d*)", i)
      if #width > 2 or #precision > 2 then
        error("invalid format (width or precision too long)", 0)
      end
      local directive = "%" .. flags .. width .. dot .. precision
      i = i + #flags + #width + #dot + #precision
      local conv = sub(fmt, i, i)
      i = i + 1
      local v = select(arg, ...)
      if conv == "c" or conv == "d" or conv == "i" then
        out[#out + 1] = format(directive .. conv, checkInt(v, arg, "format", count))
      elseif conv == "o" or conv == "u" or conv == "x" or conv == "X" then
        out[#out + 1] = format(directive .. conv, toUnsigned(checkNumber(v, arg, "format", count)))
      elseif conv == "e" or conv == "E" or conv == "f" or conv == "g" or conv == "G" then
        out[#out + 1] = format(directive .. conv, checkNumber(v, arg, "format", count))
      elseif conv == "q" then
        out[#out + 1] = quoted(checkString(v, arg, "format", count))
      elseif conv == "s" then
        local s = checkString(v, arg, "format", count)
        if precision == "" and dot == "" and #s >= 100 then
          out[#out + 1] = s
        else
          out[#out + 1] = format(directive .. "s", s)
        end
      else
        error("invalid option in `format'", 0)
      end
    end
  end
  return concat(out)
end
