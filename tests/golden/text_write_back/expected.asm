;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#include "ti83asm.inc"
#include "tokens.inc"
.LIST
	.org 9327h
;// the cut text of rewrite( goes back into the line: the label test sees it

	ld hl, :top
	ld (currow), hl
	ld hl, 0000
	ld (curcol), hl
	ld hl, s
	call _puts

top,0000,1,s:
;// write( leaves the line holding what follows the last comma and the
;// character after it, so here outtextxy( runs on that text (without commas)

	ld hl, 0001
	ld (currow), hl
	ld hl, 0002
	ld (curcol), hl
	ld hl, w
	call _puts

	ld hl, 0003
	ld (pencol), hl
	ld hl, 0004
	ld (penrow), hl
	ld hl, 
	call _vputs

	ret


description:
	.db "demo",0

w:
	.db "outtextxy(0003 0004 t",0

:
	.db "uttextxy(0003 0004 t",0

.end
END
