-- An arithmetic tag method receives a numeric string first operand as the
-- number 4.0 has already made of it; the second operand, and both operands
-- of `^' and `..', come as written.
T = newtag()
function describe(a, b, e)
  local shown = a
  if type(a) == "table" then shown = "o" end
  return e .. "(" .. type(a) .. " " .. tostring(shown) .. ", " .. type(b) .. ")"
end
local events = {"add", "sub", "mul", "div", "pow", "concat"}
for i = 1, getn(events) do settagmethod(T, events[i], describe) end
o = settag({}, T)
print("2" + o, " 1e1 " - o, "0x10" * o, "x" / o)
print(o + "2", o * "3", "2" ^ o, o ^ "2", "2" .. o)
settagmethod(tag(nil), "mul", describe)
print("4" * nil, nil * "4")
exit(0)
