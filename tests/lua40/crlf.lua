-- CR LF line ends: CR is white space, kept inside long strings
x = [[a
b]]
print(strlen(x), strbyte(x, 2))
print("ok")
exit(0)
