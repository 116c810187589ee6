# Draws CXEDIT_MOUSEWHEEL.cur: a 32x32 two-colour cursor, a dot with an arrow
# above and below it (the wheel-scrolling mark), hot spot in the middle.
import struct

SIZE = 32
shape = [[0] * SIZE for _ in range(SIZE)]   # 1 = black pixel
outline = [[0] * SIZE for _ in range(SIZE)]  # 1 = part of the cursor (drawn)

def put(x, y, black):
    if 0 <= x < SIZE and 0 <= y < SIZE:
        outline[y][x] = 1
        shape[y][x] = 1 if black else 0

# White halo first, then black ink.
for black in (False, True):
    grow = 0 if black else 1
    for dy in range(-2 - grow, 3 + grow):
        for dx in range(-2 - grow, 3 + grow):
            if dx * dx + dy * dy <= (2 + grow) ** 2 + 1:
                put(16 + dx, 16 + dy, black)
    for row in range(5):
        for dx in range(-row - grow, row + grow + 1):
            put(16 + dx, 6 + row, black)       # up arrow
            put(16 + dx, 26 - row, black)      # down arrow

xor_rows, and_rows = [], []
for y in reversed(range(SIZE)):                 # bottom-up rows
    xor_bits = and_bits = 0
    for x in range(SIZE):
        xor_bits = (xor_bits << 1) | (0 if shape[y][x] else (1 if outline[y][x] else 0))
        and_bits = (and_bits << 1) | (0 if outline[y][x] else 1)
    xor_rows.append(struct.pack(">I", xor_bits))
    and_rows.append(struct.pack(">I", and_bits))
image = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, 0, 0, 0, 2, 0)
image += struct.pack("<II", 0x00000000, 0x00FFFFFF)
image += b"".join(xor_rows) + b"".join(and_rows)
header = struct.pack("<HHH", 0, 2, 1)
entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, 16, 16, len(image), 6 + 16)
with open("CXEDIT_MOUSEWHEEL.cur", "wb") as f:
    f.write(header + entry + image)
