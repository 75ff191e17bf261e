-- getglobal and setglobal are chosen by the tag of the global's current
-- value: tracing a global, guarding functions, and the nil tag together.
local traced = newtag()
settagmethod(traced, "getglobal", function(name, value)
  print("read " .. name)
  return value
end)
settagmethod(traced, "setglobal", function(name, old, new)
  print("write " .. name .. " from tag " .. tag(old) .. " to a " .. type(new))
  rawset(globals(), name, new)
end)
position = settag({x = 1}, traced)
local p = position
print(p.x, position.x)
position.x = 2
position = "somewhere"
print(position, rawget(globals(), "position"))
position = settag({}, traced)
print(getglobal("position") == position)
setglobal("position", 3)
print(position)
-- a setglobal that stores nothing keeps the old value
local locked = newtag()
settagmethod(locked, "setglobal", function(name, old, new) print("refused " .. name) end)
constant = settag({value = 42}, locked)
constant = 0
constant = nil
print(constant.value, type(constant))
rawset(globals(), "constant", nil)
print(constant)

-- functions: protect library functions from being replaced
settagmethod(tag(print), "setglobal", function(name, old, new)
  print("not replacing " .. name)
end)
strlen = nil
print(strlen("four"))
function greet() return "hi" end
function greet() return "hello" end
print(greet())
settagmethod(tag(print), "setglobal", nil)
function greet() return "hello" end
print(greet())

-- the nil tag catches undefined globals; a defined one with a user tag its own
settagmethod(tag(nil), "getglobal", function(name) return "undefined " .. name end)
settagmethod(tag(nil), "setglobal", function(name, old, new)
  print("new global " .. name)
  rawset(globals(), name, new)
end)
print(nothing_here, position)
fresh = 1
fresh = 2
print(fresh)
settagmethod(tag(nil), "getglobal", nil)
settagmethod(tag(nil), "setglobal", nil)
exit(0)
