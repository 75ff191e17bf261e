-- A syntax error in the start-up script: the two-line message, no traceback.
-- runs on
print("never")
x = (1 + [2]
