# The GNU tr contestant: for each source, the magic and then one tr process
# mapping every byte b to b XOR 0xA7, written straight into the target.
# $1 is tr's second set, the 256 mapped bytes as octal escapes.
shopt -s nullglob nocaseglob
for f in *.bmp; do
  { printf GXXBKI && tr '\000-\377' "$1" <"$f"; } >"${f%???}spr" || exit 1
done
