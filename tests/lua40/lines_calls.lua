-- A call written across lines is at the line where it ends (its closing
-- parenthesis or brace, or the last operand of a `..' chain): in the error
-- it raises itself and in the tracebacks of the frames waiting for it.
Obj = {}
function Obj:go(a, b) error("in go " .. a) end
function tb(t) error("in tb") end
function deep(x) return x.y.z end
function f(a, b, c)
  return a +
    b
end
print(call(function()
  Obj:go(
    1,
    2
  )
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  tb{
    a = 1,
    b = 2,
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  tb[[
long
string]]
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  print(format("%d",
    deep({y = {}}) or
    deep({})))
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local f = deep
  return f
  ({})
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = nil
  for k, v in
    t do end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local n = nil
  local s = "a" .. 1 ..
    2 .. n ..
    "z"
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local s = format("%s",
    "x") .. {}
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local u = {
    deep({y = 1}),
    2
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  nothere
  (1)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local a = function(x)
    error("in anon")
  end
  a(1,
    2)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  return deep(
   {y =
     nil})
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local i = 0
  while i < 2 do
    i = i + 1
  end
  local x = strrep("a", 2,
                   3) .. strsub(
  "x", {})
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  return f(
    1,
    t
  )
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local x = nil
  local y = {
    a = 1,
    b = x.field,
    c = 3
  }
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  undefinedf(
    1,
    2)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local s = "a" ..
    "b" ..
    {}
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  t
  .x
  .y = 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  if 1 <
     {} then end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local a = 1 local b
  while a
    < b do end
end, {}, "x", _ERRORMESSAGE))
exit(0)
