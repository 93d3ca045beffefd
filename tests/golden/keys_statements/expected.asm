;program keys;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	key 33381d
#define	k 33383d
#define	v 33385d
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h

	ld a,0ffh
	out (1),a
	ld a, 0feh
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0fdh
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0fbh
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0f7h
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0efh
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0dfh
	out (1),a
	in a,(1)
	ld (key), a

	ld a,0ffh
	out (1),a
	ld a, 0bfh
	out (1),a
	in a,(1)
	ld (k), a

	ld a,0ffh
	out (1),a
	ld a, 0feh
	out (1),a
	in a,(1)
	ld (,k), a

	cp 254
	jp z, up

	cp 254
	jp nz, up

	cp 254
	call up

	cp 254
	call z, up

	cp 254
	call nz, up

	cp 254

	cp 25,

	cp 253
	jp z, down)

	cp 254

	push hl
	ld hl, 3)
	ld (v), hl
	pop hl

	cp 253 & 254
	jp z, both

	cp 253 & 254
	jp nz, both

	cp 253 & 254
	call both

	cp 253 & 254

	cp 253 & 254

	cp 253 & 254
	jp nz, both)

	cp 253 & ^v;
	jp z, lbl

	push hl
	ld hl, v;,253,0,lb
	ld (), hl
	pop hl

	ret


description:
	.db "keys",0

.end
END
