object Form5: TForm5
  Left = 200
  Top = 200
  BorderIcons = []
  BorderStyle = bsDialog
  Caption = 'セットアップ'
  ClientHeight = 97
  ClientWidth = 401
  Font.Charset = SHIFTJIS_CHARSET
  Font.Color = clWindowText
  Font.Height = -12
  Font.Name = 'ＭＳ Ｐゴシック'
  Font.Style = []
  OldCreateOrder = False
  Position = poScreenCenter
  PixelsPerInch = 96
  TextHeight = 12
  object Label1: TLabel
    Left = 8
    Top = 24
    Width = 385
    Height = 12
    Alignment = taCenter
    AutoSize = False
  end
  object Button1: TButton
    Left = 112
    Top = 64
    Width = 81
    Height = 25
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 0
  end
  object Button2: TButton
    Left = 208
    Top = 64
    Width = 81
    Height = 25
    Cancel = True
    Caption = 'ｷｬﾝｾﾙ'
    ModalResult = 2
    TabOrder = 1
  end
end
