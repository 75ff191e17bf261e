-- A run-time error in the start-up script: message and traceback.
-- runs on
function f(x) return x + 1 end
function g() local r = f(nil) return r end
print("before")
g()
print("not reached")
