-- A run-time error in the start-up script: message and traceback.
-- runs on
function f(x)
  local y = x + 1
  return y
end
function g()
  local r = f(nil)
  return r
end
print("before")
g()
print("not reached")
