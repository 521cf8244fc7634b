# SHA256SUMS in FOLDER for FILES (names in that folder), as sha256sum prints and checks them.
set(sums "")
foreach(name IN LISTS FILES)
    file(SHA256 ${FOLDER}/${name} hash)
    string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${FOLDER}/SHA256SUMS "${sums}")
