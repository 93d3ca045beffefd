;program demo;
;Programmed with Trovik.exe V1.5
.NOLIST
#define end .end
#define END .end
#define equ .equ
#define EQU .equ
#define	dice 33381d
#include "ion.inc"
.list
	.org progstart
	ret
	jr nc, begin
	.db "demo",0

begin:
;// draw the box
;// an indented comment
;// inc(dice); is only a comment

	ld b, 10
	call ionrandom
	ld (dice), a

	ld b, 10
	call ionrandom
	ld (dice), a

	ld b, dice
	call ionrandom
	ld (), a

	ld b, 6
	call ionrandom
	ld (:roll), a

roll,6:

ld a,5
  }
	for(a,b,c);
end.
EOF
} x


	ld a, (zero)
	ld h, a
	ld a, (count)
	sub h
	ld b, a
top:
	push bc

	ld b, 3
	call ionrandom
	ld (dice), a

end;
	pop bc
	djnz top

	ret


description:
	.db "demo",0

.end
END
