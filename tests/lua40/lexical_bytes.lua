-- Bytes a 4.0 chunk cannot hold: control characters (named by their code
-- in hex), bytes past ASCII, which are no letters, and a leading ESC.
print(dostring("x = 1 \1 y = 2"))
print(dostring("x = \127"))
print(dostring("x = 1\31"))
print(dostring("x = \"\1\" return x"))
print(dostring("x\233 = 1"))
print(dostring("\239\187\191print(1)"))
print(strlen("\195\169"), strupper("\233a"), gsub("a\233b", "%W", "_"))
print(call(dostring, {"\27x"}, "x", _ERRORMESSAGE))
exit(0)
