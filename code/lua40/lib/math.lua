-- The 4.0 math library, written in Lua on 5.1's math library.
local lib, env, H = ...
local select, error, math = select, error, math
local checkNumber, checkInt, argError, toInt = H.checkNumber, H.checkInt, H.argError, H.toInt
-- Degrees to radians and back as 4.0 does: times and divided by pi/180.
local TORAD = math.pi / 180.0

lib.PI = math.pi

local function one(name, f)
  lib[name] = function(...)
    return f(checkNumber((...), 1, name, select("#", ...)))
  end
end

one("abs", math.abs)
one("sqrt", math.sqrt)
one("exp", math.exp)
one("log", math.log)
one("log10", math.log10)
one("floor", math.floor)
one("ceil", math.ceil)
one("frexp", math.frexp)
one("sin", function(x) return math.sin(x * TORAD) end)
one("cos", function(x) return math.cos(x * TORAD) end)
one("tan", function(x) return math.tan(x * TORAD) end)
one("asin", function(x) return math.asin(x) / TORAD end)
one("acos", function(x) return math.acos(x) / TORAD end)
one("atan", function(x) return math.atan(x) / TORAD end)
one("deg", function(x) return x / TORAD end)
one("rad", function(x) return x * TORAD end)

local function two(name, f, intSecond)
  lib[name] = function(...)
    local count = select("#", ...)
    local a, b = ...
    -- 4.0 passes both checks as arguments of one C call, which its build
    -- evaluates from the last: the second argument is checked first.
    if intSecond then b = checkInt(b, 2, name, count) else b = checkNumber(b, 2, name, count) end
    a = checkNumber(a, 1, name, count)
    return f(a, b)
  end
end

two("atan2", function(y, x) return math.atan2(y, x) / TORAD end)
two("mod", math.fmod)
two("ldexp", math.ldexp, true)

local function extreme(name, better)
  lib[name] = function(...)
    local count = select("#", ...)
    local best = checkNumber((...), 1, name, count)
    for n = 2, count do
      local v = checkNumber((select(n, ...)), n, name, count)
      if better(v, best) then best = v end
    end
    return best
  end
end
extreme("min", function(a, b) return a < b end)
extreme("max", function(a, b) return a > b end)

-- C's int arithmetic, which wraps around past 32 bits.
local function wrapInt(x)
  x = x % 4294967296
  if x >= 2147483648 then return x - 4294967296 end
  return x
end

-- 4.0 draws its number before it looks at the arguments, so that a call
-- that fails still moves the sequence on; the result is computed in ints.
function lib.random(...)
  local r = math.random()
  local count = select("#", ...)
  if count == 0 then return r end
  local l, u = ...
  if count == 1 then
    u = checkInt(l, 1, "random", count)
    if u < 1 then argError(1, "random", "interval is empty") end
    return toInt(r * u) + 1
  end
  if count == 2 then
    l = checkInt(l, 1, "random", count)
    u = checkInt(u, 2, "random", count)
    if l > u then argError(2, "random", "interval is empty") end
    return wrapInt(toInt(r * wrapInt(u - l + 1)) + l)
  end
  error("wrong number of arguments", 0)
end

-- `^' runs the number tag's pow method, which this library installs when it
-- is opened (lua_mathlibopen); no global holds it.
H.numberPow = function(...)
  local count = select("#", ...)
  local a, b = ...
  return math.pow(checkNumber(a, 1, "pow", count), checkNumber(b, 2, "pow", count))
end
H.onOpen.math = function() H.setNumberPow(H.numberPow) end

function lib.randomseed(...)
  math.randomseed(checkInt((...), 1, "randomseed", select("#", ...)))
end
