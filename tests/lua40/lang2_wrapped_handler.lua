-- A script's _ERRORMESSAGE that hands the message on to the default one: the
-- traceback starts at the script's handler, then the failing function.
old = _ERRORMESSAGE
_ERRORMESSAGE = function(m) %old("wrapped: " .. m) end
Shapes = {}
function Shapes:area(s) return s.w * s.h end
function Shapes:total(list)
  local sum = 0
  for i = 1, getn(list) do sum = sum + self:area(list[i]) end
  return sum
end
print(Shapes:total({{w = 2, h = 3}, {w = 1, h = 1}}))
call(Shapes.total, {Shapes, {{w = 2, h = 3}, {w = 1}}}, "x", _ERRORMESSAGE)
dostring("Shapes:total({{w = 'x', h = 1}})")

-- as call's own handler, held by a local
local log = function(m) old("log: " .. m) end
call(Shapes.total, {Shapes, {5}}, "x", log)
call(function() error("raised") end, {}, "x", log)

-- a handler that writes through _ALERT, with and without the traceback
_ALERT = function(s) write("ALERT[", s, "]\n") end
_ERRORMESSAGE = old
dostring("Shapes:area(nil)")
_ERRORMESSAGE = function(m) _ALERT("custom " .. m) end
dostring("Shapes:area(nil)")
_ALERT = nil
_ERRORMESSAGE = old
Shapes:area({h = 1})
-- runs on
