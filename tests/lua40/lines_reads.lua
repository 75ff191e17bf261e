-- A field or variable read as an argument or a table item fails (or runs its
-- tag method) at its own line, whatever line the `,', `)' or `}' after it
-- is on.
print(call(function()
  local t = {}
  local a = t.x
    .y
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  print(t.x
    , t.x.y)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local v = t.a
    + 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local v = t.a
    .. "s"
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local v = 1 +
    t.a
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  t.a.b
    = 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  t.a,
  t.b.c = 1, 2
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  return t.a
    [1]
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {x = {}}
  t.x:nomethod
  (1)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local u = {t.a.b
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  if t.a
    .b then end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local x = t
  and t.x
  or undefinedfn
  (3)
end, {}, "x", _ERRORMESSAGE))
T = newtag()
settagmethod(T, "gettable", function(t, k) error("no " .. k) end)
local p = settag({}, T)
print(call(function()
  local t = {}
  print(1,
    t.a.b
  )
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  print(t.a.b
    , 2)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local u = {
    1,
    t.a.b,
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local u = {
    x = 1,
    y = t.a.b
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local u = {
    %p.field
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  print(
    %p.other
  )
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local u = {
    [1] = 1, [1] = %p.clash
  }
end, {}, "x", _ERRORMESSAGE))
settagmethod(tag(nil), "getglobal", function(n) error("no global " .. n) end)
print(call(function()
  print(
    someGlobal
  )
end, {}, "x", _ERRORMESSAGE))
settagmethod(tag(nil), "getglobal", nil)
print(call(function()
  local t = {}
  local a, b = t.a.b
  , 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  return t.a.b
end, {}, "x", _ERRORMESSAGE))
-- a field read before an operator that starts the next line: at the line
-- of its key when that is a name, a string or a local; else later
print(call(function()
  local t = nil
  local v = t.a
    + 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t.a
    .. "s" .. t.b
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local v = "s" .. t.a.b
    .. "x"
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  if t.a
    == 1 then end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t.a
    and 1
    or 2
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = 1 + t.a
    * 2
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t.a
    < 2
end, {}, "x", _ERRORMESSAGE))
settagmethod(tag(nil), "getglobal", function(n) error("undefined " .. n) end)
print(call(function()
  local v = someGlobal
    + 1
end, {}, "x", _ERRORMESSAGE))
settagmethod(tag(nil), "getglobal", nil)
print(call(function()
  local t, k = nil, "a"
  local v = t[k]
    + 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t[1]
    + 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t["a"]
    + 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  local v = t[1 + 1]
    .. "x"
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t, k = nil, "a"
  local v = t[(k)]
    * 2
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t, k = nil, "a"
  print(t[k]
  )
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  print(t[1],
    2)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  local v = 1 + t.a.b
    + 1
end, {}, "x", _ERRORMESSAGE))
exit(0)
