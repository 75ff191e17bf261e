-- Statements and expressions written across lines fail at the line 4.0
-- gives them: tag methods, numeric and table `for' loops whose values end
-- before `do', indexing, arithmetic, comparisons and joins.
T = newtag()
settagmethod(T, "settable", function(t, k, v) error("ro " .. k) end)
settagmethod(T, "gettable", function(t, k) error("wo " .. k) end)
settagmethod(T, "add", function(a, b) error("no add") end)
settagmethod(T, "function", function(a, b) error("no call") end)
local ro = settag({}, T)
print(call(function()
  %ro.x =
    1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local a, b =
    1,
    %ro.y
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local s = 1 +
    %ro
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  %ro(1,
    2)
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1,
    nil do end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1, 2,
    {}
  do end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local r = %ro
  r.fn = function()
    return 1
  end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {}
  t[
    nil] = 1
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local x = - 
    {}
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  if nil then
  elseif {} <
    1 then end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local z = {} .. 
    "a" .. "b"
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local z = "a" .. 
    "b" .. {}
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  repeat
  until {} <
   2
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1,
    {}
  do
    i = i + 1
  end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1, 3
  do
    i = i + 1
    print(i)
  end
  for i = "x",
    3 do i = 2 end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for k, v
    in
    3
  do
    k = 1
  end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for k, v
    in
    4
  do
  end
end, {}, "x", _ERRORMESSAGE))
-- a loop whose body changes its variable steps at the body's last line
print(call(function()
  for i = 1, 3 do
    i = "x"
  end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1, 3 do
    i = nil

  end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1, 3 do i = {} end
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  for i = 1, 3 do
    i = "5"
    write(i, " ")
  end
  print()
end, {}, "x", _ERRORMESSAGE))
print(call(function()
  local t = {a = 1, b = 2}
  for k, v in t do
    k = "nosuchkey"
  end
end, {}, "x", _ERRORMESSAGE))
exit(0)
